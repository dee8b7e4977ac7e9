# The card pictures as a static library, skelda_cardart: the built-in vector art, the one
# source of pictures by resource name, and the deck-file reader (the PE resource reader
# and the DIB checks are Qt-free and also built alone for the fuzz targets). Include this
# file from any CMakeLists that needs it; it defines the target once and finds Qt6::Gui in
# the including directory's scope.
find_package(Qt6 REQUIRED COMPONENTS Gui)
if(NOT TARGET skelda_pe)
  add_library(skelda_pe STATIC
    ${CMAKE_CURRENT_LIST_DIR}/PeResources.h
    ${CMAKE_CURRENT_LIST_DIR}/PeResources.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Dib.h
    ${CMAKE_CURRENT_LIST_DIR}/Dib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SystemErrors.h
    ${CMAKE_CURRENT_LIST_DIR}/SystemErrors.cpp)
  target_include_directories(skelda_pe PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
endif()
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
    ${CMAKE_CURRENT_LIST_DIR}/CardPictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DeckFile.h
    ${CMAKE_CURRENT_LIST_DIR}/DeckFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DibImage.h
    ${CMAKE_CURRENT_LIST_DIR}/DibImage.cpp)
  target_include_directories(skelda_cardart PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(skelda_cardart PUBLIC Qt6::Gui skelda_pe)
endif()
