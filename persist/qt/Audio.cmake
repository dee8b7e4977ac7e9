# skelda_audio: sound effects and music through SDL2_mixer, with the wave resources
# compiled in. Included by the desktop program's CMakeLists.txt; needs skelda_core.
include_guard(GLOBAL)

find_package(Qt6 REQUIRED COMPONENTS Core)
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2_MIXER REQUIRED IMPORTED_TARGET SDL2_mixer)

set(_skelda_root ${CMAKE_CURRENT_LIST_DIR}/../..)
qt_add_resources(SKELDA_SOUND_RESOURCES ${_skelda_root}/resources/sounds/sounds.qrc)
add_library(skelda_audio STATIC ${CMAKE_CURRENT_LIST_DIR}/Audio.cpp ${SKELDA_SOUND_RESOURCES})
# SDL2_mixer's headers only: the library is loaded when the sound device is opened.
target_include_directories(skelda_audio PRIVATE ${SDL2_MIXER_INCLUDE_DIRS})
target_compile_options(skelda_audio PRIVATE ${SDL2_MIXER_CFLAGS_OTHER})
target_link_libraries(skelda_audio PUBLIC skelda_core Qt6::Core PRIVATE ${CMAKE_DL_LIBS})

if(SKELDA_TESTS)
  find_package(GTest REQUIRED)
  add_executable(skelda_audio_tests ${_skelda_root}/tests/audio/AudioTest.cpp)
  target_link_libraries(skelda_audio_tests PRIVATE skelda_audio GTest::gtest GTest::gtest_main)
  target_compile_definitions(skelda_audio_tests PRIVATE
    SKELDA_MUSIC="${_skelda_root}/music")
  add_test(NAME skelda_audio_tests COMMAND skelda_audio_tests)
endif()
