# Runs chmcmd on PROJECT and puts the result at OUTPUT.
# chmcmd reads the project's files relative to the project but writes the
# compiled file into its working folder, so it runs in WORK. It exits 0 on
# some faults it only warns about (a page linking to a missing one), so its
# output is read too: any warning or error fails the build.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CHMCMD} --html-scan ${PROJECT}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR "${out}${err}" MATCHES "[Ww]arning|[Ee]rror|[Ee]xception")
  message(FATAL_ERROR "chmcmd failed on ${PROJECT} (exit ${result}):\n${out}${err}")
endif()
get_filename_component(name ${PROJECT} NAME_WE)
if(NOT EXISTS ${WORK}/${name}.chm)
  message(FATAL_ERROR "chmcmd wrote no ${name}.chm:\n${out}${err}")
endif()
file(COPY_FILE ${WORK}/${name}.chm ${OUTPUT})
