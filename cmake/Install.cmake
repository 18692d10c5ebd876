# The installable module, as a host application uses it:
#   PREFIX/lib/libZQPDMSearch.so and the sibling libraries it links (ZQPDMFC, ZQDBConnection, ZQPDMServices)
#   PREFIX/include/ZQPDMSearch/   the facade, CDllCommandBase, the tree types and the database component
#   PREFIX/bin/                   zqpdm-client, zqpdm-search, pdm-seed
#   PREFIX/lib/cmake/ZQPDMSearch/ find_package(ZQPDMSearch) gives the target ZQPDMSearch::ZQPDMSearch
include(CMakePackageConfigHelpers)

set(ZQ_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ZQPDMSearch)

install(TARGETS ZQPDMSearch ZQPDMServices ZQDBConnection ZQPDMFC
        EXPORT ZQPDMSearchTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZQPDMSearch)
foreach(program zqpdm-client zqpdm-search pdm-seed)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# What a host includes: the facade and the types its interface names.
install(FILES
          ${PROJECT_SOURCE_DIR}/src/facade/ZQPDMSearchFunction.h
          ${PROJECT_SOURCE_DIR}/src/facade/DllCommandBase.h
          ${PROJECT_SOURCE_DIR}/platform/uikit/TreeCtrlEx.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/ZQDBConnect.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/ComError.h
          ${PROJECT_SOURCE_DIR}/platform/dbconnect/Recordset.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ZQPDMSearch)

install(EXPORT ZQPDMSearchTargets NAMESPACE ZQPDMSearch:: DESTINATION ${ZQ_PACKAGE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ZQPDMSearchConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfig.cmake
                              INSTALL_DESTINATION ${ZQ_PACKAGE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/ZQPDMSearchConfigVersion.cmake
        DESTINATION ${ZQ_PACKAGE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/tools/pdm-seed/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} RENAME pdm-seed.md)

# cpack -G DEB (in the build folder): a Debian package installing under /usr.
set(CPACK_PACKAGE_NAME zqpdmsearch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZQPDM search module: the PDM client's search window, its host and tools")
set(CPACK_PACKAGE_CONTACT "ZQPDMSearch maintainers <zqpdmsearch@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6widgets6, libqt6sql6, libqt6sql6-sqlite, libcurl4, libodbc2, libzip4")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, libqt6sql6-odbc, odbc-postgresql, libsqliteodbc, fonts-wqy-microhei, adwaita-icon-theme")
include(CPack)
