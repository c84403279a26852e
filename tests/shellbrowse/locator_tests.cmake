# Tests of the shell locator and the change notifications: the stored form under the sanitizers
# (and once more through the cross compiler) with its fuzz target, the rest under Wine.
stampwell_host_test(locator_portable_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/locator_stored_form_test.cpp
  LIBS stampwell_locator_portable)
stampwell_wine_test(locator_portable_win32_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/locator_stored_form_test.cpp
  LIBS stampwell_locator_portable)
stampwell_fuzz_target(locator_stored_form_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/locator_stored_form_fuzz.cpp
  LIBS stampwell_locator_portable)

stampwell_wine_test(shellnotify_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/change_handler_thread_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/device_change_handler_test.cpp
  LIBS stampwell_shellnotify)

stampwell_wine_test(locator_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/shell_locator_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/shell_test_main.cpp
  LIBS stampwell_locator)
if(STAMPWELL_WIN32)
  stampwell_form_resources(locator_test_forms locator_test_forms
    ${STAMPWELL_RESOURCES}/forms/test_locator.form ${STAMPWELL_RESOURCES}/forms/test_locator_bad.form)
  target_sources(locator_test PRIVATE ${CMAKE_CURRENT_LIST_DIR}/shell_locator_form_test.cpp ${locator_test_forms})
endif()
