# Renders a manual page as man does on an 80-column terminal, with every
# groff warning on; any message fails.
#   cmake -DGROFF=... -DPAGE=... -P check_man_page.cmake
if(NOT GROFF)
  message(FATAL_ERROR "groff not found: install groff-base")
endif()
execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z -rLL=80n -rLT=80n ${PAGE}
                RESULT_VARIABLE status ERROR_VARIABLE messages)
if(NOT status EQUAL 0 OR NOT messages STREQUAL "")
  message(FATAL_ERROR "${PAGE} (groff status ${status}):\n${messages}")
endif()
