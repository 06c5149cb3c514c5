#pragma once
// The framework's text functions. Texts are QString; fields are counted from 1.
#include <QString>

QString Str(qint64 value);          // plain decimal: -12, 0, 4096
QString Str(double value);          // whole numbers without a decimal point: 3.0 -> "3"
double Val(const QString& text);    // leading number of the text, 0 when there is none
QString Format(double value, const QString& mask);  // "00": at least two digits
int CountFields(const QString& text, const QString& separator);
QString NthField(const QString& text, const QString& separator, int n);
QString ReplaceAll(const QString& source, const QString& find, const QString& replacement);
QString Chr(int code);

// The one text comparison of the program: letter case is ignored. Returns <0, 0 or >0.
int CompareText(const QString& a, const QString& b);
// Texts of different lengths never compare equal (case is folded one unit at a time), and
// the same text always does: both are settled without the comparison. So is a difference
// between two ASCII letters or signs, whose folding is plain: a search compares 200,000 words.
inline bool TextEquals(const QString& a, const QString& b)
{
    if (a.size() != b.size()) return false;
    if (a.constData() == b.constData()) return true;
    const char16_t* p = reinterpret_cast<const char16_t*>(a.constData());
    const char16_t* q = reinterpret_cast<const char16_t*>(b.constData());
    for (qsizetype i = 0, n = a.size(); i < n; ++i) {
        if (p[i] == q[i]) continue;
        if (p[i] >= 0x80 || q[i] >= 0x80) return CompareText(a, b) == 0;
        const auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(p[i]) != lower(q[i])) return false;
    }
    return true;
}
