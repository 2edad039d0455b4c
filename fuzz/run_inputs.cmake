# Runs one fuzzing harness once on every saved crasher and every seed.
# Fails when the harness fails on any of them.
#
#   cmake -DHARNESS=<harness> -DCRASHERS=<folder> -DSEEDS=<folder> -P run_inputs.cmake
file(GLOB crashers LIST_DIRECTORIES false "${CRASHERS}/*")
list(FILTER crashers EXCLUDE REGEX "/README[^/]*$")
file(GLOB seeds LIST_DIRECTORIES false "${SEEDS}/*")
if(NOT seeds)
  message(FATAL_ERROR "no seeds in ${SEEDS}: build the fuzz_seeds target")
endif()
list(SORT crashers)
list(SORT seeds)
list(LENGTH crashers crasherCount)
list(LENGTH seeds seedCount)
message(STATUS "${HARNESS}: ${crasherCount} crashers, ${seedCount} seeds")

execute_process(COMMAND "${HARNESS}" ${crashers} ${seeds} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${HARNESS} failed (${result}) on a saved input; see the output above")
endif()
