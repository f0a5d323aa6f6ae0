#include "core/settings/Profile.h"

namespace Profile {

namespace {

struct Line
{
    QByteArray text; // without its line break
    QByteArray eol;  // "\r\n", "\r", "\n" or empty (last line without break)
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray trimmed(const QByteArray& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

QList<Line> splitLines(const QByteArray& content)
{
    QList<Line> lines;
    qsizetype start = 0;
    const qsizetype n = content.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            const qsizetype brk = (c == '\r' && i + 1 < n && content[i + 1] == '\n') ? 2 : 1;
            lines.append({content.mid(start, i - start), content.mid(i, brk)});
            i += brk;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append({content.mid(start), QByteArray()});
    return lines;
}

QByteArray joinLines(const QList<Line>& lines)
{
    QByteArray out;
    for (const Line& l : lines)
        out += l.text + l.eol;
    return out;
}

QByteArray lineEndingOf(const QList<Line>& lines)
{
    for (const Line& l : lines)
        if (!l.eol.isEmpty())
            return l.eol == "\r\n" ? QByteArray("\r\n") : QByteArray("\n");
    return QByteArray("\n");
}

// A UTF-8 byte order mark left by some editors is not part of the first line.
QByteArray withoutBom(const QByteArray& text)
{
    return text.startsWith("\xEF\xBB\xBF") ? text.mid(3) : text;
}

// Section name if the line is a header.
std::optional<QByteArray> headerName(const QByteArray& text)
{
    const QByteArray t = trimmed(withoutBom(text));
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.lastIndexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmed(t.mid(1, close - 1));
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Names fold ASCII letters only: UTF-8 bytes of other letters must match exactly.
bool sameName(const QByteArray& a, const QString& b)
{
    const QByteArray bb = b.toUtf8();
    if (a.size() != bb.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(bb[i]))
            return false;
    return true;
}

// Index range [first, end) of the lines after the first matching header.
struct SectionRange
{
    qsizetype header = -1;
    qsizetype end = -1;
};

SectionRange findSection(const QList<Line>& lines, const QString& section)
{
    SectionRange r;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = headerName(lines[i].text);
        if (!name)
            continue;
        if (r.header >= 0) {
            r.end = i;
            return r;
        }
        if (sameName(*name, section))
            r.header = i;
    }
    if (r.header >= 0)
        r.end = lines.size();
    return r;
}

struct Entry
{
    QByteArray key;
    QByteArray value;         // trimmed, quotes kept
    qsizetype valueStart = 0; // offset of the trimmed value in the line text
};

std::optional<Entry> entryOf(const QByteArray& text)
{
    const QByteArray t = trimmed(text);
    if (t.isEmpty() || t.startsWith(';'))
        return std::nullopt;
    const qsizetype eq = text.indexOf('=');
    if (eq < 0)
        return std::nullopt;
    Entry e;
    e.key = trimmed(text.left(eq));
    qsizetype vs = eq + 1;
    while (vs < text.size() && isSpace(text[vs]))
        ++vs;
    e.valueStart = vs;
    e.value = trimmed(text.mid(vs));
    return e;
}

qsizetype findKey(const QList<Line>& lines, const SectionRange& r, const QString& key)
{
    for (qsizetype i = r.header + 1; i < r.end; ++i) {
        const auto e = entryOf(lines[i].text);
        if (e && sameName(e->key, key))
            return i;
    }
    return -1;
}

QByteArray cleanValue(const QString& value)
{
    // A value is a C string in the classic format: it ends at a NUL.
    QString v = value;
    const qsizetype nul = v.indexOf(QChar(0));
    if (nul >= 0)
        v.truncate(nul);
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    qsizetype lead = 0;
    while (lead < v.size() && (v[lead] == QLatin1Char(' ') || v[lead] == QLatin1Char('\t')))
        ++lead;
    return v.mid(lead).toUtf8();
}

} // namespace

QString getString(const QByteArray& content, const QString& section, const QString& key,
                  const QString& def, int bufSize)
{
    const QList<Line> lines = splitLines(content);
    const SectionRange r = findSection(lines, section);
    if (r.header < 0)
        return def;
    const qsizetype i = findKey(lines, r, key);
    if (i < 0)
        return def;
    QByteArray v = entryOf(lines[i].text)->value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    // The caller's buffer ends at the first NUL.
    const qsizetype nul = v.indexOf('\0');
    if (nul >= 0)
        v.truncate(nul);
    QString s = QString::fromUtf8(v);
    const int max = qMax(0, bufSize - 1);
    if (s.size() > max) {
        s.truncate(max);
        if (!s.isEmpty() && s.back().isHighSurrogate())
            s.chop(1);
    }
    return s;
}

bool hasSection(const QByteArray& content, const QString& section)
{
    return findSection(splitLines(content), section).header >= 0;
}

QByteArray applyWrite(const QByteArray& content, const QString& section, const QString& key,
                      const Value& value)
{
    QList<Line> lines = splitLines(content);
    const QByteArray eol = lineEndingOf(lines);
    const SectionRange r = findSection(lines, section);

    if (!value) {
        if (r.header < 0)
            return content;
        const qsizetype i = findKey(lines, r, key);
        if (i < 0)
            return content;
        lines.removeAt(i);
        return joinLines(lines);
    }

    const QByteArray v = cleanValue(*value);
    if (r.header < 0) {
        if (!lines.isEmpty() && lines.back().eol.isEmpty())
            lines.back().eol = eol;
        lines.append({"[" + section.toUtf8() + "]", eol});
        lines.append({key.toUtf8() + "=" + v, eol});
        return joinLines(lines);
    }

    const qsizetype i = findKey(lines, r, key);
    if (i >= 0) {
        const Entry e = *entryOf(lines[i].text);
        if (e.value == v)
            return content;
        lines[i].text = lines[i].text.left(e.valueStart) + v;
        return joinLines(lines);
    }

    qsizetype after = r.header;
    for (qsizetype j = r.header + 1; j < r.end; ++j)
        if (!trimmed(lines[j].text).isEmpty())
            after = j;
    if (lines[after].eol.isEmpty())
        lines[after].eol = eol;
    lines.insert(after + 1, {key.toUtf8() + "=" + v, eol});
    return joinLines(lines);
}

QByteArray applyWrites(QByteArray content, const QString& section, const QList<Write>& writes)
{
    for (const Write& w : writes)
        content = applyWrite(content, section, w.first, w.second);
    return content;
}

} // namespace Profile
