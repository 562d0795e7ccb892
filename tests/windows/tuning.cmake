# Tests of the beam-tuning window and of the plot export.
corvane_window_test(tuning_window_test tuning_window_test.cpp window_fixture.h)
