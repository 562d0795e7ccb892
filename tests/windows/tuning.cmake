# Tests of the beam-tuning window and of the plot export.
corvane_window_test(tuning_window_test tuning_window_test.cpp window_fixture.h)
corvane_w2_test(results_annotations_test results_annotations_test.cpp w2_support.h)
