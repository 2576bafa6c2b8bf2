#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What an archive reading a report years later relies on, added to a PDF/A-1b document as
// Qt's PDF writer makes it: the author in the document information and in its XMP
// (dc:creator), the language of its text (/Lang and dc:language), and on every embedded
// font the subset tag that its descriptor names, as the standard asks of subset fonts.
namespace orlu {

inline constexpr char ArchivalPdfLanguage[] = "zh-CN";

// The document with these added and its cross-reference table made anew; none, with the
// reason, for a document of a structure other than that writer's. No author: none named.
std::optional<QByteArray> finishArchivalPdf(const QByteArray &pdf, const QString &author,
                                            QString *error = nullptr);

} // namespace orlu
