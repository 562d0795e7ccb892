# The beam-tuning window, its background work and the plot export, on the tuning library.
target_sources(corvane_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/background_job.cpp ${CMAKE_CURRENT_LIST_DIR}/background_job.h
  ${CMAKE_CURRENT_LIST_DIR}/results_annotations.cpp ${CMAKE_CURRENT_LIST_DIR}/results_annotations.h
  ${CMAKE_CURRENT_LIST_DIR}/plot_export.cpp ${CMAKE_CURRENT_LIST_DIR}/plot_export.h
  ${CMAKE_CURRENT_LIST_DIR}/tuning_plots.cpp ${CMAKE_CURRENT_LIST_DIR}/tuning_plots.h
  ${CMAKE_CURRENT_LIST_DIR}/tuning_window.cpp ${CMAKE_CURRENT_LIST_DIR}/tuning_window.h)
target_link_libraries(corvane_windows PUBLIC dravik_tuning)
