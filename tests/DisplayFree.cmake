# Fails when a headless program loads a Qt library: the calculation and the report engine run
# without a display. Called with -DPROGRAMS="a;b".
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ldd ${program} OUTPUT_VARIABLE libraries RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "ldd ${program} failed")
  endif()
  if(libraries MATCHES "libQt")
    message(FATAL_ERROR "${program} loads Qt:\n${libraries}")
  endif()
  message(STATUS "${program}: no Qt library")
endforeach()
