# Tests of the launch dialog, the results window, the save dialog, the help
# window, the file lists and the process start. Their programs are built into
# this folder, not the run folder, so that no Dravik sits beside them.
function(corvane_w2_test name)
  corvane_window_test(${name} ${ARGN})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

corvane_w2_test(file_lists_test file_lists_test.cpp)
corvane_w2_test(launcher_test launcher_test.cpp)
corvane_w2_test(form5_test form5_test.cpp w2_support.h)
corvane_w2_test(form1_test form1_test.cpp w2_support.h)
corvane_w2_test(form3_test form3_test.cpp w2_support.h)
corvane_w2_test(form4_test form4_test.cpp w2_support.h)

# End to end: the real Dravik from the run folder, run in a temporary working folder.
corvane_w2_test(end_to_end_test end_to_end_test.cpp w2_support.h)
add_dependencies(end_to_end_test Dravik)
target_compile_definitions(end_to_end_test PRIVATE DRAVIK_PATH="$<TARGET_FILE:Dravik>")
set_tests_properties(end_to_end_test PROPERTIES TIMEOUT 900)
corvane_w2_test(keyboard_test keyboard_test.cpp w2_support.h)
