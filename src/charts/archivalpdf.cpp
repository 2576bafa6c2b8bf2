#include "charts/archivalpdf.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

struct PdfObject {
    int number = 0;
    qsizetype offset = 0;
    QByteArray text; // "N 0 obj ... endobj" with the line breaks that follow it
};

struct ParsedPdf {
    QByteArray head; // the header before the first object
    std::vector<PdfObject> objects;
    QByteArray trailer; // from "trailer" up to "startxref"
    int size = 0;
};

std::optional<int> referenceIn(const QByteArray &dict, const QByteArray &key) {
    const QRegularExpression pattern(QString::fromLatin1(key) + uR"(\s+(\d+)\s+0\s+R)"_s);
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(dict));
    return m.hasMatch() ? std::optional(m.captured(1).toInt()) : std::nullopt;
}

// The objects by the one cross-reference section the writer makes, each up to the next.
std::optional<ParsedPdf> parse(const QByteArray &pdf) {
    const qsizetype startxref = pdf.lastIndexOf("startxref");
    if (startxref < 0)
        return std::nullopt;
    const qsizetype xref = pdf.mid(startxref + 9).trimmed().split('\n').value(0).trimmed().toLongLong();
    const qsizetype trailer = pdf.lastIndexOf("trailer");
    if (xref <= 0 || xref >= pdf.size() || !pdf.mid(xref).startsWith("xref") || trailer < xref)
        return std::nullopt;
    const QList<QByteArray> subsection = pdf.mid(xref, 64).split('\n').value(1).trimmed().split(' ');
    ParsedPdf parsed;
    parsed.size = subsection.value(1).toInt();
    if (subsection.value(0) != "0" || parsed.size <= 1)
        return std::nullopt;
    const qsizetype entries = pdf.indexOf('\n', pdf.indexOf('\n', xref) + 1) + 1;
    for (int n = 1; n < parsed.size; ++n) {
        const QByteArray entry = pdf.mid(entries + 20 * n, 20);
        if (entry.size() < 18 || entry[17] != 'n')
            continue;
        parsed.objects.push_back({n, entry.left(10).toLongLong(), {}});
    }
    std::sort(parsed.objects.begin(), parsed.objects.end(),
              [](const PdfObject &a, const PdfObject &b) { return a.offset < b.offset; });
    for (std::size_t i = 0; i < parsed.objects.size(); ++i) {
        PdfObject &o = parsed.objects[i];
        const qsizetype end = i + 1 < parsed.objects.size() ? parsed.objects[i + 1].offset : xref;
        o.text = pdf.mid(o.offset, end - o.offset);
        if (!o.text.startsWith(QByteArray(QByteArray::number(o.number) + " 0 obj")))
            return std::nullopt;
    }
    if (parsed.objects.empty())
        return std::nullopt;
    parsed.head = pdf.left(parsed.objects.front().offset);
    parsed.trailer = pdf.mid(trailer, startxref - trailer);
    return parsed;
}

PdfObject *objectOf(ParsedPdf &pdf, std::optional<int> number) {
    for (PdfObject &o : pdf.objects) {
        if (number && o.number == *number)
            return &o;
    }
    return nullptr;
}

bool isDictionary(const PdfObject &o) {
    return !o.text.contains("stream");
}

// Adds an entry at the end of an object's dictionary.
bool addEntry(PdfObject *o, const QByteArray &entry) {
    if (!o || !isDictionary(*o))
        return false;
    const qsizetype close = o->text.lastIndexOf(">>", o->text.lastIndexOf("endobj"));
    if (close < 0)
        return false;
    o->text.insert(close, entry + ' ');
    return true;
}

// A text string of any script: UTF-16BE with its byte order mark, in hexadecimal.
QByteArray pdfText(const QString &text) {
    QByteArray bytes("\xfe\xff", 2);
    for (const QChar c : text) {
        bytes += char(c.unicode() >> 8);
        bytes += char(c.unicode() & 0xff);
    }
    return '<' + bytes.toHex().toUpper() + '>';
}

// dc:creator and dc:language beside dc:title in the metadata stream.
bool addXmp(PdfObject *o, const QString &author) {
    if (!o)
        return false;
    const QRegularExpression length(uR"(/Length (\d+))"_s);
    const QRegularExpressionMatch m = length.match(QString::fromLatin1(o->text));
    const qsizetype start = o->text.indexOf("stream\n") + 7;
    if (!m.hasMatch() || start < 7)
        return false;
    QByteArray xml = o->text.mid(start, m.captured(1).toLongLong());
    const qsizetype title = xml.indexOf("</dc:title>");
    if (title < 0 || xml.contains("<dc:language>"))
        return false;
    QByteArray added;
    if (!author.isEmpty())
        added += "\n      <dc:creator>\n        <rdf:Seq>\n          <rdf:li>" +
                 author.toHtmlEscaped().toUtf8() + "</rdf:li>\n        </rdf:Seq>\n      </dc:creator>";
    added += QByteArray("\n      <dc:language>\n        <rdf:Bag>\n          <rdf:li>") +
             ArchivalPdfLanguage + "</rdf:li>\n        </rdf:Bag>\n      </dc:language>";
    xml.insert(title + 11, added);
    const qsizetype end = start + m.captured(1).toLongLong();
    QByteArray text = o->text.left(start);
    text.replace(m.capturedStart(0), m.capturedLength(0),
                 QByteArray("/Length " + QByteArray::number(xml.size())));
    o->text = text + xml + o->text.mid(end);
    return true;
}

QByteArray baseFontOf(const PdfObject &o) {
    static const QRegularExpression baseFont(uR"(/BaseFont /([^\s/<>\[\]()]+))"_s);
    return baseFont.match(QString::fromLatin1(o.text)).captured(1).toLatin1();
}

void setBaseFont(PdfObject &o, const QByteArray &name) {
    o.text.replace(QByteArray("/BaseFont /" + baseFontOf(o)), QByteArray("/BaseFont /" + name));
}

// Gives each font the name of its descriptor, subset tag and all; a Type 0 font that of its
// descendant.
void tagSubsetFonts(ParsedPdf &pdf) {
    static const QRegularExpression fontName(uR"(/FontName /([A-Z]{6}\+[^\s/<>\[\]()]+))"_s);
    QHash<int, QByteArray> tagged; // descendant font: its descriptor's name
    for (PdfObject &o : pdf.objects) {
        if (!isDictionary(o) || !o.text.contains("/Subtype /CIDFontType2"))
            continue;
        const PdfObject *descriptor = objectOf(pdf, referenceIn(o.text, "/FontDescriptor"));
        const QByteArray name =
            descriptor ? fontName.match(QString::fromLatin1(descriptor->text)).captured(1).toLatin1()
                       : QByteArray();
        if (!name.isEmpty() && name.endsWith(QByteArray('+' + baseFontOf(o)))) {
            setBaseFont(o, name);
            tagged.insert(o.number, name);
        }
    }
    static const QRegularExpression descendant(uR"(/DescendantFonts \[\s*(\d+)\s+0\s+R)"_s);
    for (PdfObject &o : pdf.objects) {
        if (!isDictionary(o) || !o.text.contains("/Subtype /Type0"))
            continue;
        const QRegularExpressionMatch m = descendant.match(QString::fromLatin1(o.text));
        const QByteArray name = m.hasMatch() ? tagged.value(m.captured(1).toInt()) : QByteArray();
        if (!name.isEmpty() && name.endsWith(QByteArray('+' + baseFontOf(o))))
            setBaseFont(o, name);
    }
}

QByteArray assemble(const ParsedPdf &pdf) {
    QByteArray out = pdf.head;
    QList<qsizetype> offsets(pdf.size, 0);
    for (const PdfObject &o : pdf.objects) {
        offsets[o.number] = out.size();
        out += o.text;
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(pdf.size) + "\n0000000000 65535 f \n";
    for (int n = 1; n < pdf.size; ++n) {
        if (offsets[n] == 0)
            out += "0000000000 65535 f \n";
        else
            out += QByteArray::number(offsets[n]).rightJustified(10, '0') + " 00000 n \n";
    }
    out += pdf.trailer + "startxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

} // namespace

std::optional<QByteArray> finishArchivalPdf(const QByteArray &pdf, const QString &author, QString *error) {
    std::optional<ParsedPdf> parsed = parse(pdf);
    PdfObject *catalog = parsed ? objectOf(*parsed, referenceIn(parsed->trailer, "/Root")) : nullptr;
    PdfObject *info = parsed ? objectOf(*parsed, referenceIn(parsed->trailer, "/Info")) : nullptr;
    PdfObject *metadata = catalog ? objectOf(*parsed, referenceIn(catalog->text, "/Metadata")) : nullptr;
    const QString name = author.trimmed();
    if (!catalog || !info || !addXmp(metadata, name) ||
        !addEntry(catalog, "/Lang (" + QByteArray(ArchivalPdfLanguage) + ')') ||
        (!name.isEmpty() && !addEntry(info, "/Author " + pdfText(name)))) {
        if (error)
            *error = u"PDF 文件的结构无法识别，无法加入存档所需的作者、语言与字体信息。"_s;
        return std::nullopt;
    }
    tagSubsetFonts(*parsed);
    return assemble(*parsed);
}

} // namespace orlu
