#include "core/settings/SettingRules.h"

#include <QLocale>
#include <cmath>

namespace SettingRules {

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    bool any = false;
    while (isDigit(i)) {
        ++i;
        any = true;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            any = true;
        }
    }
    if (!any)
        return 0.0;
    // An exponent counts only when digits follow it ("1e3", not "1e").
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'-' || text[j] == u'+'))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double v = QLocale::c().toDouble(text.mid(start, i - start), &ok);
    if (std::isinf(v)) // too big for a double: still a huge number, not 0
        return v;
    return ok ? v : 0.0;
}

double roundHalfEven(double v)
{
    const double fl = std::floor(v);
    const double diff = v - fl;
    if (diff < 0.5)
        return fl;
    if (diff > 0.5)
        return fl + 1.0;
    return std::fmod(fl, 2.0) == 0.0 ? fl : fl + 1.0;
}

int checkStateOf(const Settings::Field& text)
{
    const double v = roundHalfEven(leadingNumber(text.value_or(QString())));
    if (v == 1.0)
        return 1;
    if (v == 2.0)
        return 2;
    return 0;
}

int chunkSizeOf(const Settings::Field& text)
{
    const double v = roundHalfEven(leadingNumber(text.value_or(QString())));
    if (!(v >= kChunkMin)) // also catches NaN
        return kChunkMin;
    if (v > kChunkMax)
        return kChunkMax;
    return static_cast<int>(v);
}

bool wholeTextIsOne(const Settings::Field& text)
{
    const QString t = text.value_or(QString()).trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    double v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        v = QLocale().toDouble(t, &ok);
    return ok && v == 1.0;
}

} // namespace SettingRules
