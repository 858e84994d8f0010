# The job runs the real converter and the fake one; the dialog's registry key is the real one.
add_dependencies(conversion_job_test fake_converter)
set_tests_properties(conversion_job_test PROPERTIES RESOURCE_LOCK tolvane_settings_key ENVIRONMENT "LC_ALL=en_US.UTF-8")
