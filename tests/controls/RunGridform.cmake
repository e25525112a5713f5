# Runs gridform: the sample written and dumped shows its texts, the yellow cell record, the column
# record with every tag and the empty lists; the sample cut inside a record fails with the read
# error and a non-zero status.
execute_process(COMMAND ${TOOL} sample ${OUT} RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gridform sample ended with ${rc}")
endif()
execute_process(COMMAND ${TOOL} dump ${OUT} RESULT_VARIABLE rc OUTPUT_VARIABLE dump)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gridform dump ended with ${rc}")
endif()
string(REGEX MATCHALL "\nCells \\(" cells "\n${dump}")
list(LENGTH cells count)
if(NOT count EQUAL 16)
  message(FATAL_ERROR "${count} Cells entries instead of 16:\n${dump}")
endif()
foreach(line
    "Cells (0, 7): \"pH-Wert im Belebungsbecken\""
    "PropCell (1, 7): 4: 0x0000FFFF, 0; 0"
    "PropCol [1]: 1: 0; 2: 2; 3: 1; 4: 0x00F0F0F0, 0; 5: 0x00800000, 0; 6: 0x00000080, -11, \"Arial\", 1, 1; 7: 0x00FFFFFF, -11, \"Arial\", 1, 3; 0"
    "PropRow: leer" "PropFixedCol: leer" "PropFixedRow: leer")
  string(FIND "${dump}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing \"${line}\" in:\n${dump}")
  endif()
endforeach()
file(READ ${OUT} bytes HEX)
string(FIND "${bytes}" "50726f7043656c6c" at)  # "PropCell"
math(EXPR cut "(${at} / 2) + 14")
file(READ ${OUT} head LIMIT ${cut} HEX)
string(REGEX REPLACE "(..)" "\\\\x\\1" escaped "${head}")
file(WRITE ${OUT}.cut "")
execute_process(COMMAND printf "${escaped}" OUTPUT_FILE ${OUT}.cut)
execute_process(COMMAND ${TOOL} dump ${OUT}.cut RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE error)
if(rc EQUAL 0 OR NOT error MATCHES "Stream-Lesefehler")
  message(FATAL_ERROR "the cut form gave ${rc}: ${error}")
endif()
