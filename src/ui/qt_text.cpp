// Texts between the program's byte strings and Qt: file names, subtitle text, messages and dialog filters.
#include "qt_text.h"

#include <QFile>
#include <QStringList>

#include "render/charset_decoder.h"
#include "render/name_tables.h"

namespace quillet::ui {

QString FromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string ToPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString FromText(const std::string& text) {
  // The window lives on one thread; one decoder serves every text it shows.
  static CharsetDecoder decoder;
  const std::u32string decoded = decoder.Decode(text, kCharsetDefault);
  return QString::fromUcs4(decoded.data(), static_cast<qsizetype>(decoded.size()));
}

QString MessageText(const std::string& text) {
  QString shown = FromText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QChar('|'));
  QStringList entries;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    if (i + 1 >= parts.size()) {
      if (!parts[i].isEmpty()) entries << parts[i];
      break;
    }
    QStringList patterns = parts[i + 1].split(QChar(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    entries << parts[i] + QStringLiteral(" (") + patterns.join(QChar(' ')) + QStringLiteral(")");
  }
  return entries.join(QStringLiteral(";;"));
}

}  // namespace quillet::ui
