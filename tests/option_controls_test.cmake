# The dialog saves its options under the real key of the test prefix.
set_tests_properties(option_controls_test PROPERTIES RESOURCE_LOCK tolvane_settings_key ENVIRONMENT "LC_ALL=en_US.UTF-8")
