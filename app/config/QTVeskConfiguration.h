#pragma once
// Reads the XML configuration file of nprtable into the VeskConfiguration record.
//
// Every start tag is handed to startElement with its qualified name and attributes; the nesting
// is not examined, the root may have any name and unknown elements are ignored. Reading stops at
// the first error (missing file, malformed XML); the defaults and everything read before the error
// stay. The file is read once, in the constructor, and never written.

#include "config/VeskConfiguration.h"

#include <QHash>
#include <QString>

#include <string>
#include <vector>

class QByteArray;
class QIODevice;
class QXmlStreamAttributes;

class QTVeskConfiguration : public VeskConfiguration {
public:
    // Reads fileName at once. A missing or unreadable file leaves the defaults.
    explicit QTVeskConfiguration(const QString& fileName);

    // Reads a configuration held in memory, as the constructor reads a file.
    static QTVeskConfiguration fromData(const QByteArray& xml);

    // Applies one element to the record: scalar attributes that are present overwrite their
    // fields; a list element appends one entry to each of its lists. Unknown names do nothing.
    void startElement(const QString& qName, const QXmlStreamAttributes& attributes);

    // Empty when the whole input was read; otherwise why reading stopped (the record keeps what
    // came before). Nothing is printed: the caller decides whether to report it.
    const QString& readError() const { return readError_; }

    // One line per element name that occurred more often than the reader keeps
    // (ConfigurationLimits::kMaxElementOccurrences): the occurrences beyond it were skipped.
    std::vector<std::string> ignoredElements() const;

private:
    QTVeskConfiguration() = default;
    void read(QIODevice& device);

    QString readError_;
    QHash<QString, quint64> occurrences_;
};
