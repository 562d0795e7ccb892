# Sources of the results, launch, save and help windows beyond the list above.
target_sources(corvane_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/subscript_gap.cpp ${CMAKE_CURRENT_LIST_DIR}/subscript_gap.h)
