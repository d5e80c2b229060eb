#include "QtText.h"

#include <QStringDecoder>

namespace QtText {

QString ToQt(const std::string& text) {
    const QByteArrayView bytes(text.data(), static_cast<qsizetype>(text.size()));
    QStringDecoder decoder(QStringDecoder::System);
    QString decoded = decoder.decode(bytes);
    // Mods written on Windows carry that system's 8-bit letters, which are no valid
    // UTF-8; shown as Latin-1 they read as their author meant.
    if (decoder.hasError())
        return QString::fromLatin1(bytes);
    return decoded;
}

std::string FromQt(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString Lines(const std::string& text) {
    QString lines = ToQt(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

}  // namespace QtText
