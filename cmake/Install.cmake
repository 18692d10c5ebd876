# The installable module, in four parts (install components), each of which becomes one Debian
# package (cmake/Packaging.cmake):
#   runtime  LIBDIR/libZQPDMSearch.so.1 and the libraries it links (ZQPDMFC, ZQDBConnection,
#            ZQPDMServices), each versioned: libX.so.1 -> libX.so.1.0.0; the preview pane's worker
#            LIBEXECDIR/zqpdm/zqpdm-preview-worker
#   dev      include/ZQPDMSearch/ (the facade, CDllCommandBase, the tree types, the database
#            component), the LIBDIR/libX.so links and LIBDIR/cmake/ZQPDMSearch/: find_package(ZQPDMSearch)
#            gives the target ZQPDMSearch::ZQPDMSearch
#   client   bin/zqpdm-client, its desktop entry and icon
#   tools    bin/zqpdm-search, bin/pdm-seed, bin/zqpdm-index, share/zqpdm-tools/postgresql-trigram-indexes.sql,
#            and the systemd service and timer that run the indexer (lib/systemd/system/zqpdm-index@.service,
#            .timer; not enabled)
#   web      bin/zqpdm-web, its systemd service (lib/systemd/system/zqpdm-web.service; not enabled), its
#            settings /etc/default/zqpdm-web and docs/web.md; the system user zqpdm-web is made by the
#            package's postinst (packaging/web/)
# Every program comes with its man page (docs/man/PROGRAM.1), every part with the copyright
# (from LICENSE) and the Debian changelog (packaging/changelog) in share/doc/PACKAGE/ and its
# lintian overrides (packaging/lintian-overrides) in share/lintian/overrides/PACKAGE.
# LIBDIR is lib/<multiarch> on Debian (lib/x86_64-linux-gnu).
include(CMakePackageConfigHelpers)
file(RELATIVE_PATH ZQ_LIBEXEC_TO_LIB /${CMAKE_INSTALL_LIBEXECDIR}/zqpdm /${CMAKE_INSTALL_LIBDIR})
include(${CMAKE_CURRENT_LIST_DIR}/DebianCopyright.cmake)

set(ZQ_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZQPDMSearch)
# The interface version of the libraries: SONAME libX.so.${ZQ_SOVERSION}, package libzqpdmsearch${ZQ_SOVERSION}.
set(ZQ_SOVERSION ${PROJECT_VERSION_MAJOR})
set(ZQ_CONTACT "ZQPDMSearch developers <dev@zqpdm.example>")

# The package of each part.
set(ZQ_COMPONENTS runtime dev client tools web)
set(ZQ_PACKAGE_runtime libzqpdmsearch${ZQ_SOVERSION})
set(ZQ_PACKAGE_dev libzqpdmsearch-dev)
set(ZQ_PACKAGE_client zqpdm-client)
set(ZQ_PACKAGE_tools zqpdm-tools)
set(ZQ_PACKAGE_web zqpdm-web)

# Man pages and the changelog are installed compressed with gzip -9n (no name, no time stamp: the
# same sources give the same packages).
set(ZQ_GZIPPED_FILES "")
function(zq_install_gzipped source name destination component)
  set(gzipped ${CMAKE_BINARY_DIR}/packaging/${name})
  if(NOT gzipped IN_LIST ZQ_GZIPPED_FILES)
    add_custom_command(OUTPUT ${gzipped}
      COMMAND gzip -9n -c ${source} > ${gzipped}
      DEPENDS ${source}
      COMMENT "Compressing ${name}" VERBATIM)
    set(ZQ_GZIPPED_FILES ${ZQ_GZIPPED_FILES} ${gzipped} PARENT_SCOPE)
  endif()
  install(FILES ${gzipped} DESTINATION ${destination} COMPONENT ${component})
endfunction()

# The libraries carry their interface version; installed, each finds its siblings beside itself.
set(ZQ_LIBRARIES ZQPDMSearch ZQPDMServices ZQDBConnection ZQPDMFC)
set_target_properties(${ZQ_LIBRARIES} PROPERTIES
  VERSION ${PROJECT_VERSION} SOVERSION ${ZQ_SOVERSION} INSTALL_RPATH "$ORIGIN")
install(TARGETS ${ZQ_LIBRARIES}
        EXPORT ZQPDMSearchTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZQPDMSearch)

# A program: its executable and its man page, in the part COMPONENT. The programs are listed in
# ZQ_PROGRAMS for the test that holds each man page to its program's --help.
set(ZQ_PROGRAMS "")
function(zq_install_program program component)
  if(NOT TARGET ${program})
    return()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${component})
  zq_install_gzipped(${PROJECT_SOURCE_DIR}/docs/man/${program}.1 ${program}.1.gz
                     ${CMAKE_INSTALL_MANDIR}/man1 ${component})
  set(ZQ_GZIPPED_FILES ${ZQ_GZIPPED_FILES} PARENT_SCOPE)
  set(ZQ_PROGRAMS ${ZQ_PROGRAMS} ${program} PARENT_SCOPE)
endfunction()

zq_install_program(zqpdm-client client)
zq_install_program(zqpdm-search tools)
zq_install_program(pdm-seed tools)
zq_install_program(zqpdm-index tools)
zq_install_program(zqpdm-web web)

# The indexer as a service of the system: a template run as the user named after the "@", and its
# nightly timer. Installing enables nothing; packaging/systemd/zqpdm-index@.service says how.
if(TARGET zqpdm-index)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/zqpdm-index@.service
                ${PROJECT_SOURCE_DIR}/packaging/systemd/zqpdm-index@.timer
          DESTINATION lib/systemd/system COMPONENT tools)
endif()

# The web search as a service of the system, its settings a conffile the service reads.
if(TARGET zqpdm-web)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/zqpdm-web.service
          DESTINATION lib/systemd/system COMPONENT web)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/web/zqpdm-web.default
          DESTINATION /etc/default RENAME zqpdm-web COMPONENT web)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/web.md
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${ZQ_PACKAGE_web} COMPONENT web)
endif()

# The preview pane's worker, which the module starts from LIBEXECDIR/zqpdm; no user runs it.
if(TARGET zqpdm-preview-worker)
  set_target_properties(zqpdm-preview-worker PROPERTIES INSTALL_RPATH "$ORIGIN/${ZQ_LIBEXEC_TO_LIB}")
  install(TARGETS zqpdm-preview-worker RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/zqpdm COMPONENT runtime)
endif()

# The client in the desktop's application menu.
if(TARGET zqpdm-client)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zqpdm-client.desktop
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT client)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/zqpdm-client.svg
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps COMPONENT client)
endif()

# What a host includes: the facade and the types its interface names.
install(FILES
          ${PROJECT_SOURCE_DIR}/src/facade/ZQPDMSearchFunction.h
          ${PROJECT_SOURCE_DIR}/src/facade/DllCommandBase.h
          ${PROJECT_SOURCE_DIR}/platform/uikit/TreeCtrlEx.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/ZQDBConnect.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/ComError.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/Recordset.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZQPDMSearch COMPONENT dev)

install(EXPORT ZQPDMSearchTargets NAMESPACE ZQPDMSearch:: DESTINATION ${ZQ_PACKAGE_DIR} COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZQPDMSearchConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfig.cmake
                              INSTALL_DESTINATION ${ZQ_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfigVersion.cmake
        DESTINATION ${ZQ_PACKAGE_DIR} COMPONENT dev)

# Each part's documentation folder: the copyright and the changelog; the README goes with the
# headers (it says how a host builds against the module), the demo data's notes with pdm-seed.
zq_write_debian_copyright(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/packaging/copyright
                          ${PROJECT_NAME} "${ZQ_CONTACT}")
foreach(component ${ZQ_COMPONENTS})
  set(docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/${ZQ_PACKAGE_${component}})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${docdir} COMPONENT ${component})
  zq_install_gzipped(${PROJECT_SOURCE_DIR}/packaging/changelog changelog.Debian.gz ${docdir} ${component})
  # The lintian findings that do not apply to these packages, each with its reason.
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          RENAME ${ZQ_PACKAGE_${component}} COMPONENT ${component})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${ZQ_PACKAGE_dev} COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/tools/pdm-seed/README.md
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${ZQ_PACKAGE_tools} RENAME pdm-seed.md COMPONENT tools)
# The trigram indexes that pdm-seed --trigram-indexes creates, as a script an administrator applies
# to a customer's PostgreSQL database with psql -f (docs/postgresql.md).
install(FILES ${PROJECT_SOURCE_DIR}/tools/sql/postgresql-trigram-indexes.sql
        DESTINATION ${CMAKE_INSTALL_DATADIR}/${ZQ_PACKAGE_tools} COMPONENT tools)

add_custom_target(zq_compressed_docs ALL DEPENDS ${ZQ_GZIPPED_FILES})

include(${CMAKE_CURRENT_LIST_DIR}/Packaging.cmake)
