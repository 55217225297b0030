# The browser test where it cannot run at all: skipped with its reason, or a
# failure where SCENARIO_BROWSER_OBBLIGATORIO=1 asks for the test to run.
if("$ENV{SCENARIO_BROWSER_OBBLIGATORIO}" STREQUAL "1")
  message(FATAL_ERROR "prove nel browser obbligatorie, ma ${MOTIVO}")
endif()
message("SALTATE: ${MOTIVO}")
