# Precompiled headers: the standard and Qt headers that nearly every unit includes, parsed once
# instead of once per unit.
#   zq_share_precompiled_headers(target)   a library of the module or a static library of the
#                                          programs: reuses the one header of all libraries
#   zq_precompile_headers(target TEST)     the first test program: its own header, with GoogleTest;
#                                          the other test programs reuse it
# A precompiled header can be shared only between targets compiled with the same flags: the
# libraries (position-independent, optimized) and the test programs (position-independent
# executables, unoptimized) each have one. -Winvalid-pch says so when a target cannot use it.
set(ZQ_PCH_CORE <algorithm> <functional> <memory> <optional> <string> <vector>
                <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
                <QRegularExpression> <QString> <QStringList> <QVariant>)
set(ZQ_PCH_WIDGETS <QAbstractButton> <QApplication> <QComboBox> <QKeyEvent> <QLabel> <QLineEdit>
                   <QWidget>)
set(ZQ_PCH_SQL <QSqlDatabase> <QSqlError> <QSqlQuery>)
set(ZQ_PCH_TEST <gtest/gtest.h> <QTemporaryDir>)

function(zq_precompile_headers target kind)
  set(headers ${ZQ_PCH_CORE} ${ZQ_PCH_WIDGETS})
  if(kind STREQUAL "TEST")
    list(APPEND headers ${ZQ_PCH_SQL} ${ZQ_PCH_TEST})
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# The libraries' header lives in a target of its own that every library can depend on.
if(NOT TARGET zq_library_pch)
  add_library(zq_library_pch OBJECT ${CMAKE_CURRENT_LIST_DIR}/PrecompiledDonor.cpp)
  # Qt Widgets only: the UI library does not link Qt Sql, and a header made with Qt Sql's
  # definitions is refused where they are missing.
  target_link_libraries(zq_library_pch PRIVATE Qt6::Widgets zq_warnings)
  set_target_properties(zq_library_pch PROPERTIES AUTOMOC OFF AUTORCC OFF)
  zq_precompile_headers(zq_library_pch LIBRARY)
endif()

function(zq_share_precompiled_headers target)
  target_precompile_headers(${target} REUSE_FROM zq_library_pch)
endfunction()
