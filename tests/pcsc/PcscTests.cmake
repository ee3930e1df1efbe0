# test_pcsc: APDUs, status words, ATRs, key slots, vpcd framing and the
# virtual card, without pcscd.
t7_test_folder(pcsc LIBS t7vcardcore ${CMAKE_DL_LIBS})
add_dependencies(test_pcsc qvd_pcsc)
target_compile_definitions(test_pcsc PRIVATE T7_BUILD_LIB_DIR="${CMAKE_BINARY_DIR}/lib")

# test_e2e_pcsc (tests/e2e/pcsc/): the tool's pages and the library's entry
# points through pcscd, vpcd and t7vcard. A private pcscd is the fixture;
# the tests share vpcd's two readers, so they run one at a time.
set(T7_PCSC_FIXTURE ${CMAKE_BINARY_DIR}/pcsc-fixture)
add_test(NAME pcsc_fixture.start COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/pcsc/pcscd_fixture.sh start ${T7_PCSC_FIXTURE})
add_test(NAME pcsc_fixture.stop COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/pcsc/pcscd_fixture.sh stop ${T7_PCSC_FIXTURE})
set_tests_properties(pcsc_fixture.start PROPERTIES FIXTURES_SETUP pcscd SKIP_RETURN_CODE 77 RESOURCE_LOCK vpcd)
set_tests_properties(pcsc_fixture.stop PROPERTIES FIXTURES_CLEANUP pcscd RESOURCE_LOCK vpcd)

file(GLOB e2e_pcsc_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/pcsc/*.cpp)
add_executable(test_e2e_pcsc ${e2e_pcsc_sources})
set_target_properties(test_e2e_pcsc PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests
                                               BUILD_RPATH "${T7_RUNPATH}")
target_link_libraries(test_e2e_pcsc PRIVATE t7app t7testsupport_ui t7qttestmain PkgConfig::PCSCLITE)
add_dependencies(test_e2e_pcsc qvd_pcsc t7vcard)
# Where the fixture, the virtual card and the library are, compiled in:
# an ENVIRONMENT of several entries does not survive test discovery.
target_compile_definitions(test_e2e_pcsc PRIVATE T7_PCSC_FIXTURE_DIR="${T7_PCSC_FIXTURE}"
                                                 T7_VCARD_PATH="$<TARGET_FILE:t7vcard>"
                                                 T7_BUILD_LIB_DIR="${CMAKE_BINARY_DIR}/lib")
gtest_discover_tests(test_e2e_pcsc
  DISCOVERY_MODE PRE_TEST
  NO_PRETTY_VALUES
  PROPERTIES
    FIXTURES_REQUIRED pcscd
    RESOURCE_LOCK vpcd
  TEST_PREFIX "e2e_pcsc.")
