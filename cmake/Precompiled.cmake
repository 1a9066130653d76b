# Precompiled headers: the Qt and standard headers nearly every file includes
# are parsed once per library instead of once per file. The core library's
# set has no widgets (it builds without them, and the fuzz targets use it);
# the widget library adds the widgets; the test support library adds Qt Test
# and shares its precompiled header with every test program, so the tests
# pay for it once. Turn off with -DVESKARO_PCH=OFF (e.g. to check that every
# file includes what it uses).
option(VESKARO_PCH "Precompile the Qt and standard headers shared by most files" ON)

# clang writes the time into a precompiled header unless told not to, and
# ccache would then never reuse what was compiled with it.
if(VESKARO_PCH AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(veskaro_common INTERFACE "SHELL:-Xclang -fno-pch-timestamp")
endif()

set(VESKARO_PCH_CORE
  <algorithm> <array> <atomic> <cmath> <functional> <map> <memory> <mutex>
  <optional> <utility> <vector>
  <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile>
  <QFileInfo> <QHash> <QList> <QLocale> <QObject> <QPointer>
  <QRegularExpression> <QSet> <QString> <QStringList> <QTimer> <QVariant>)
set(VESKARO_PCH_GUI ${VESKARO_PCH_CORE}
  <QAction> <QApplication> <QCheckBox> <QComboBox> <QDialog> <QEventLoop>
  <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView> <QIcon> <QKeyEvent>
  <QLabel> <QLineEdit> <QListWidget> <QMdiArea> <QMdiSubWindow> <QMenu>
  <QPainter> <QPushButton> <QRadioButton> <QStatusBar> <QTableView>
  <QTreeView> <QVBoxLayout> <QWidget>)
set(VESKARO_PCH_TESTS ${VESKARO_PCH_GUI}
  <QBuffer> <QSignalSpy> <QTemporaryDir> <QTest>)

# veskaro_precompile(<target> CORE|GUI|TESTS): precompiles that set for the target.
function(veskaro_precompile target set)
  if(VESKARO_PCH)
    target_precompile_headers(${target} PRIVATE ${VESKARO_PCH_${set}})
  endif()
endfunction()

# veskaro_reuse_precompiled(<target> <from>): the target compiles with the
# same options as <from> and uses its precompiled header.
function(veskaro_reuse_precompiled target from)
  if(VESKARO_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
