#pragma once
// The configuration files of a demo installation, written as GBK with CR LF line ends:
//   Support/Search.cfg        the page captions, one per line, in tab order
//   rnds/spt/zqpdmcad.ini     field names, storage modes, title item numbers, database and store URLs
//   sys/zqpdmcod.ini          the old-drawing-number item (point ZQPDM_SYSDIR at DIR/sys)
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zq::seed {

// The page captions in the order the demo installation lists them.
QStringList PageCaptions();

QString SearchCfgText();
// An empty URL is left out: the installation's own pdm.db and ftpstore folder apply.
QString ZqpdmcadIniText(const QString& databaseUrl, const QString& storeUrl);
QString ZqpdmcodIniText();

// GBK (GB18030 for the rare character GBK lacks); throws SeedError when no codec is available.
QByteArray EncodeGbkText(const QString& text);

// The three files below home, as WriteInstallationFiles writes them.
QStringList InstallationFiles(const QString& home);
// Writes the three files below home; throws SeedError on any write error.
void WriteInstallationFiles(const QString& home, const QString& databaseUrl, const QString& storeUrl);

} // namespace zq::seed
