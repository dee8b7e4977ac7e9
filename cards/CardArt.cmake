# The built-in card pictures as a static library, skelda_cardart. Include this file from
# any CMakeLists that needs it; it defines the target once and finds Qt6::Gui in the
# including directory's scope.
find_package(Qt6 REQUIRED COMPONENTS Gui)
if(NOT TARGET skelda_cardart)
  add_library(skelda_cardart STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CardArt.h
    ${CMAKE_CURRENT_LIST_DIR}/CardArtPaint.h
    ${CMAKE_CURRENT_LIST_DIR}/CardArt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CardArtPips.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CardArtCourt.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CardArtBacks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CardArtIcons.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CardPictures.h
    ${CMAKE_CURRENT_LIST_DIR}/BuiltInCards.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeckReaderStandIn.cpp)
  target_include_directories(skelda_cardart PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(skelda_cardart PUBLIC Qt6::Gui)
endif()
