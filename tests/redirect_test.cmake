# The redirector's runs use the fake converter.
add_dependencies(redirect_test fake_converter)
