# Install rules and the release package of each build: a ZIP for Windows
# (Dorvanta.exe, dvtool.exe, the README and the documents it links to, the
# examples and the JSON schemas at its top), a Debian package for Linux
# (/usr/bin/Dorvanta, /usr/bin/dvtool, the documents and examples under
# /usr/share/doc/dorvanta, the schemas under
# /usr/share/dorvanta/schema, the Ansible role and playbook under
# /usr/share/dorvanta/ansible). `cpack` in a build folder makes its package.

file(GLOB DORVANTA_SCHEMAS CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/schema/*.json")
# The example rule files, and the test cases and facts document beside them.
file(GLOB DORVANTA_EXAMPLES CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/examples/*.ini"
     "${PROJECT_SOURCE_DIR}/examples/*.json")

# The README's links into docs/ hold where it is installed too.
function(dorvanta_install_readme destination)
  install(FILES "${PROJECT_SOURCE_DIR}/README.md" DESTINATION "${destination}")
  install(FILES "${PROJECT_SOURCE_DIR}/docs/DEVELOPING.md" DESTINATION "${destination}/docs")
  install(FILES "${PROJECT_SOURCE_DIR}/docs/images/summary.png"
          DESTINATION "${destination}/docs/images")
endfunction()

set(CPACK_PACKAGE_NAME Dorvanta)
set(CPACK_PACKAGE_VENDOR "The Dorvanta developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line installation helper driven by rule files")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_STRIP_FILES ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  install(TARGETS Dorvanta dvtool RUNTIME DESTINATION .)
  dorvanta_install_readme(.)
  install(FILES ${DORVANTA_EXAMPLES} DESTINATION examples)
  install(FILES ${DORVANTA_SCHEMAS} DESTINATION schema)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(DORVANTA_DOC_DIR share/doc/dorvanta)
  install(TARGETS Dorvanta dvtool RUNTIME DESTINATION bin)
  dorvanta_install_readme(${DORVANTA_DOC_DIR})
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/copyright" DESTINATION ${DORVANTA_DOC_DIR})
  install(FILES ${DORVANTA_EXAMPLES} DESTINATION ${DORVANTA_DOC_DIR}/examples)
  install(FILES ${DORVANTA_SCHEMAS} DESTINATION share/dorvanta/schema)
  # The role's YAML files alone: nothing a run of the playbook or its lint may have
  # left in the checkout.
  install(FILES "${PROJECT_SOURCE_DIR}/contrib/ansible/site.yml" DESTINATION share/dorvanta/ansible)
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/contrib/ansible/roles" DESTINATION share/dorvanta/ansible
          FILES_MATCHING PATTERN "*.yml")
  install(FILES "${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides"
          DESTINATION share/lintian/overrides RENAME dorvanta)

  # Debian keeps the changelog and the manual pages compressed, with the most
  # compression and no time stamp of their own (gzip -9n).
  find_program(DORVANTA_GZIP gzip REQUIRED)
  file(MAKE_DIRECTORY "${PROJECT_BINARY_DIR}/packaging")
  foreach(source IN ITEMS debian/changelog man/Dorvanta.1 man/dvtool.1)
    get_filename_component(name "${source}" NAME)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 "${PROJECT_SOURCE_DIR}/packaging/${source}")
    execute_process(COMMAND "${DORVANTA_GZIP}" -9nc "${PROJECT_SOURCE_DIR}/packaging/${source}"
                    OUTPUT_FILE "${PROJECT_BINARY_DIR}/packaging/${name}.gz"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  install(FILES "${PROJECT_BINARY_DIR}/packaging/changelog.gz" DESTINATION ${DORVANTA_DOC_DIR})
  install(FILES "${PROJECT_BINARY_DIR}/packaging/Dorvanta.1.gz"
                "${PROJECT_BINARY_DIR}/packaging/dvtool.1.gz" DESTINATION share/man/man1)

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_PACKAGE_NAME dorvanta)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Dorvanta developers <dorvanta@example.org>")
  set(CPACK_DEBIAN_PACKAGE_SECTION admin)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries (ICU, libudev, the C and C++ runtimes) as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION [=[
Dorvanta learns the machine's facts once (OS version, processor, languages,
location, DMI product data, devices), then walks the numbered CRITERIA and
ACTION sections of an INI rule file: where every criteria line holds, the
actions start programs or write desktop launchers. dvtool is its companion
on the same engine.]=])
endif()

include(CPack)
