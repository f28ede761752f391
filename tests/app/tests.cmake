vell_add_gtest(NAME test_app SOURCES image_test.cpp LIBS vell_app)
