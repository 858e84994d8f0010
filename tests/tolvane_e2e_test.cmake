# Drives the real program, which saves its options under the real key of the test prefix.
add_dependencies(tolvane_e2e_test Tolvane)
set_tests_properties(tolvane_e2e_test PROPERTIES RESOURCE_LOCK tolvane_settings_key ENVIRONMENT "LC_ALL=en_US.UTF-8")
