# kaldo-sensor-cli.exe under Wine against the Linux simulated sensor, whose pseudo-terminal the
# prefix sees as COM3. Needs the Linux build's simulator, named by KALDO_LINUX_SIM.
set(KALDO_LINUX_SIM "" CACHE FILEPATH "The Linux kaldo-sensor-sim, for the end-to-end test under Wine")
if(KALDO_LINUX_SIM)
  add_test(NAME cli_end_to_end_under_wine
           COMMAND ${CMAKE_CURRENT_LIST_DIR}/end_to_end ${KALDO_LINUX_SIM} ${kaldo_wine_run}
                   $<TARGET_FILE:kaldo-sensor-cli>)
  set_tests_properties(cli_end_to_end_under_wine PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300
                                                            LABELS wine)
endif()
