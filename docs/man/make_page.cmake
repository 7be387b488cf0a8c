# Writes one manual page with help2man from the program's own --help and
# --version, then gzips it with -9n (no name, no time stamp: the same
# program gives the same file). Run with cmake -P and:
#   HELP2MAN, GZIP  the tools
#   PROGRAM         the built program; NAME, its command name
#   SUMMARY         the page's one-line description (NAME section)
#   SEE_ALSO        every page's program, comma-separated (NAME's own is left out)
#   EXTRA           a help2man include file of hand-written sections (optional)
#   COMMANDS        true for a program of commands (sonmira-cli): each command
#                   the overview lists under "commands:" gets a section of its
#                   own with that command's --help
#   WORK            a folder for the steps; OUT, the page (.1.gz)

function(run_help args out_var)
  execute_process(COMMAND ${PROGRAM} ${args} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NAME} ${args} exited with ${rc}")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# The help text as roff lines kept as they are: a backslash is \e, a '-' is
# \- (a minus, as typed in options, not a typographic hyphen), and a line
# starting with a control character (or, in an include file, '[' or '/')
# gets \& before it.
function(as_roff text out_var)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'[/])" "\\1\\\\&\\2" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

set(include "")
if(COMMANDS)
  run_help(--help overview)
  # The overview's lines under "commands:", "  NAME  SUMMARY", up to a blank line.
  string(REGEX MATCH "\ncommands:\n([^\n]+\n)+" block "${overview}")
  string(REGEX MATCHALL "\n  +[^ \n]+" names "${block}")
  if(NOT names)
    message(FATAL_ERROR "${NAME} --help lists no commands")
  endif()
  string(APPEND include "[COMMANDS]\n")
  string(APPEND include "Each command's own help, as \\fB${NAME} \\fICOMMAND\\fB \\-\\-help\\fR prints it.\n")
  foreach(name ${names})
    string(STRIP "${name}" name)
    run_help("${name};--help" help)
    as_roff("${help}" help)
    string(APPEND include ".SS ${name}\n.nf\n${help}.fi\n")
  endforeach()
endif()

string(REPLACE "," ";" pages "${SEE_ALSO}")
list(REMOVE_ITEM pages ${NAME})
set(refs "")
foreach(p ${pages})
  if(refs)
    string(APPEND refs ",\n")
  endif()
  string(APPEND refs ".BR ${p} (1)")
endforeach()
string(APPEND include "[SEE ALSO]\n${refs}\n")

set(include_file ${WORK}/${NAME}.h2m)
file(WRITE ${include_file} "${include}")
set(includes --include=${include_file})
if(EXTRA)
  list(APPEND includes --include=${EXTRA})
endif()
set(page ${WORK}/${NAME}.1)
# The help texts hold Chinese: help2man reads them as UTF-8 only in a UTF-8 locale.
execute_process(
  COMMAND ${HELP2MAN} --no-info --locale=C.UTF-8 --name=${SUMMARY} ${includes} --output=${page} ${PROGRAM}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${NAME} (${rc})")
endif()
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
execute_process(COMMAND ${GZIP} -9n -c ${page} OUTPUT_FILE ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${page}")
endif()
