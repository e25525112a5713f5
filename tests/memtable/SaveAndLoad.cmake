# Runs mtquery over the plant list ordered by name while saving it in the binary format, then
# on the saved file alone, and fails unless both print the same rows in the same order.
# Called with -DTOOL=... -DINPUT=... -DSAVED=...
execute_process(COMMAND ${TOOL} ${INPUT} --index Name --save ${SAVED}
  OUTPUT_VARIABLE first RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "mtquery --save failed: ${failed}")
endif()
execute_process(COMMAND ${TOOL} --load ${SAVED} OUTPUT_VARIABLE second RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "mtquery --load failed: ${failed}")
endif()
if(NOT first STREQUAL second)
  message(FATAL_ERROR "rows differ:\n${first}\n---\n${second}")
endif()
if(NOT first MATCHES "^  Name;Land;Einwohner;Datum\n  Aalen;BW;130000;28.02.1990\n  Ansbach;")
  message(FATAL_ERROR "unexpected rows:\n${first}")
endif()
