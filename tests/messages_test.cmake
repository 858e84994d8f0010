# The default language comes from Wine's locale: run the default-language check under both.
foreach(locale_case "ko_KR.UTF-8;0412" "en_US.UTF-8;0409")
  list(GET locale_case 0 locale)
  list(GET locale_case 1 langid)
  add_test(NAME messages_test_${langid} COMMAND messages_test
           --gtest_filter=MessagesTest.DefaultFormsFollowTheUsersLanguage)
  set_tests_properties(messages_test_${langid} PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 120
                       ENVIRONMENT "LC_ALL=${locale};TOLVANE_EXPECTED_LANGID=${langid}")
endforeach()
