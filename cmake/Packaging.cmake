# cpack in the build folder (./zq package): the Debian packages, one for each install component
# of cmake/Install.cmake, installing under /usr. Their Depends are computed by dpkg-shlibdeps; the
# parts built here depend on each other at exactly this version.

# The Debian version is the latest entry of packaging/changelog: the project's version, then the
# Debian revision. An entry for another version is a mistake that would ship the wrong changelog.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog ZQ_CHANGELOG_TOP LIMIT_COUNT 1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
if(NOT ZQ_CHANGELOG_TOP MATCHES "^zqpdmsearch \\(([^-)]+)-([^)]+)\\) ")
  message(FATAL_ERROR "packaging/changelog: the first line is not \"zqpdmsearch (VERSION-REVISION) ...\"")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog: the latest entry is for version ${CMAKE_MATCH_1}, the project "
                      "is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})

set(CPACK_GENERATOR DEB)
# The descriptions hold quotes: written to CPackConfig.cmake as they are.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME zqpdmsearch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZQ_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL ${ZQ_COMPONENTS})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE zqpdmsearch)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds the module's libraries, which the programs link, in the build folder; the
# programs' dependency on them is the exact one below (CPACK_COMPONENT_<PART>_DEPENDS).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

foreach(component ${ZQ_COMPONENTS})
  string(TOUPPER ${component} COMPONENT)
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${ZQ_PACKAGE_${component}})
endforeach()

# The libraries. Qt's SQLite driver is loaded as a plugin, which dpkg-shlibdeps cannot see; the
# other drivers, the ODBC drivers, a font with Chinese glyphs, file-type icons and Qt's own Chinese
# texts (standard buttons, the save dialog) are recommended.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The shlibs file tells dpkg-shlibdeps of a host's package which package and version to depend on.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The loader's cache is updated by the ldconfig trigger (packaging/triggers), not by maintainer scripts.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_ZQ_LIBRARY_PACKAGE ${ZQ_PACKAGE_runtime})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebTriggerOnly.cmake)
# The preview pane reads TIFF, GIF and SVG files through Qt's image plugins.
# libcurl, libpq and unixODBC are loaded when first needed rather than linked (a faster start), so
# dpkg-shlibdeps does not see them either.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-image-formats-plugins, libqt6svg6, libcurl4, libpq5, libodbc2")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS
    "libqt6sql6-psql, libqt6sql6-odbc, odbc-postgresql, libsqliteodbc, fonts-wqy-microhei, adwaita-icon-theme, qt6-translations-l10n")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION [=[ZQPDM search module: the PDM client's search window
ZQPDMSearch is the search module of the ZQPDM product-data-management
client: one window with a tab for each kind of PDM data (design parts,
batch products, change orders, documents, resource files, tasks, parts in
design, items of the client's own product tree), which a host application
opens, fills from the PDM database and asks to locate items in its tree.

This package holds the shared libraries: libZQPDMSearch (the module),
libZQPDMFC (its controls and dialogs), libZQDBConnection (the database
component, over SQLite, PostgreSQL or ODBC) and libZQPDMServices (the
part, change-order, user, browser and file-storage services).]=])

# The development files: a host builds against them with find_package(ZQPDMSearch).
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "qt6-base-dev")
set(CPACK_DEBIAN_DEV_DESCRIPTION [=[ZQPDM search module: development files
ZQPDMSearch is the search module of the ZQPDM product-data-management
client: one window with a tab for each kind of PDM data, which a host
application opens, fills from the PDM database and asks to locate items in
its tree.

This package holds what a host application builds against: the headers of
the facade (CZQPDMSearchFunction), the host command interface, the tree
types and the database component, the links to the libraries, and the
CMake package: find_package(ZQPDMSearch) gives the target
ZQPDMSearch::ZQPDMSearch.]=])

set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_CLIENT_DEPENDS runtime)
# The client loads Qt's Chinese texts at start, so that its standard buttons and dialogs are Chinese.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_CLIENT_DESCRIPTION [=[ZQPDM client window with the product data search
The ZQPDM client window shows the product tree of a PDM database, the
commands the search module sends to it (a "Locate" selects the tree item)
and the tasks of the logged-on user; "查询 > 查找..." (Ctrl+F) opens the search
window of the ZQPDMSearch module.

It reads the database and file store named by the client installation
(ZQPDM_HOME) or by ZQPDM_DB and ZQPDM_FTP: SQLite, PostgreSQL or ODBC, a
folder or an FTP server. It appears in the desktop's application menu.]=])

set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION misc)
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_DEBIAN_TOOLS_DESCRIPTION [=[ZQPDM search module: command-line tools
Command-line programs around the ZQPDMSearch module, the search module of
the ZQPDM product-data-management client.

zqpdm-search opens a search page without a display, applies actions (set a
condition, find, select a row, export) and prints the result list as TSV,
CSV or JSON, for scripted searches. pdm-seed creates the PDM schema and
demo data in an SQLite, PostgreSQL or ODBC database, and a demo
installation to run the client and zqpdm-search on. zqpdm-index fills the
content index: the text inside the stored design documents and resource
files (PDF, Office, OpenDocument, text, DXF) for the content search page.]=])

set(CPACK_DEBIAN_WEB_PACKAGE_SECTION web)
# Its searches run in zqpdm-search, which the tools package installs beside it.
set(CPACK_COMPONENT_WEB_DEPENDS runtime tools)
set(CPACK_DEBIAN_WEB_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_WEB_PACKAGE_SUGGESTS "nginx, postgresql")
# The postinst makes the system user; /etc/default/zqpdm-web is the administrator's (a conffile).
set(CPACK_DEBIAN_WEB_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/web/postinst ${PROJECT_SOURCE_DIR}/packaging/web/postrm
    ${PROJECT_SOURCE_DIR}/packaging/web/conffiles)
set(CPACK_DEBIAN_WEB_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_WEB_DESCRIPTION [=[ZQPDM search module: read-only web search
zqpdm-web serves the search pages of a ZQPDM installation to any browser,
a phone's included, and a JSON API for scripts: the installation's tabs
with their conditions, the result lists, a hit's fields and its stored
file. Every search runs the installation's own pages in a zqpdm-search
process; nothing it offers writes to the PDM database or the file store.

The package holds the server, its systemd service zqpdm-web.service (not
enabled; run as the system user zqpdm-web, sandboxed) and its settings in
/etc/default/zqpdm-web. It is meant to run behind a reverse proxy that
logs people in (nginx with TLS and the company's login) and names the
user in the X-Remote-User header.]=])

include(CPack)
