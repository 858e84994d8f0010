# Wine takes the user's language from the locale: this test program runs as a Korean user.
add_dependencies(korean_ui_test Tolvane)
set_tests_properties(korean_ui_test PROPERTIES RESOURCE_LOCK tolvane_settings_key ENVIRONMENT "LC_ALL=ko_KR.UTF-8")
