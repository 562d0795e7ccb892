# Tests of the beam-tuning window and of the plot export.
corvane_window_test(tuning_window_test tuning_window_test.cpp window_fixture.h)
corvane_window_test_apart(results_annotations_test results_annotations_test.cpp window_fixture.h)

# Screenshots under a display (not a test, built on request): tuning_screens FOLDER OUT SCALE.
add_executable(tuning_screens EXCLUDE_FROM_ALL tuning_screens.cpp)
target_link_libraries(tuning_screens PRIVATE corvane_windows)
