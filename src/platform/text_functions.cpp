#include "platform/text_functions.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <cmath>

QString Str(qint64 value)
{
    // A search writes one per record, and each is copied into the list and dropped: the
    // digits go straight into the buffer of the last one when nothing else holds it any more,
    // two at a time.
    static constexpr char kPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                     "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                     "8081828384858687888990919293949596979899";
    thread_local QString last(24, Qt::Uninitialized);
    static constexpr quint64 kPowers[] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL,
                                          10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL,
                                          100000000000ULL, 1000000000000ULL, 10000000000000ULL,
                                          100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL,
                                          100000000000000000ULL, 1000000000000000000ULL,
                                          10000000000000000000ULL};
    quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    // The number of digits from the number of bits: log10(2) is about 1233 / 4096.
    int digits = ((64 - __builtin_clzll(magnitude | 1)) * 1233) >> 12;
    digits += (magnitude | 1) >= kPowers[digits] ? 1 : 0;
    const qsizetype length = digits + (value < 0 ? 1 : 0);
    if (!last.isDetached()) last = QString(24, Qt::Uninitialized);
    if (last.size() != length) last.resize(length);
    char16_t* p = reinterpret_cast<char16_t*>(last.data()) + length;
    for (; magnitude >= 100; magnitude /= 100) {
        const char* pair = kPairs + 2 * (magnitude % 100);
        *--p = char16_t(pair[1]);
        *--p = char16_t(pair[0]);
    }
    if (magnitude >= 10) {
        *--p = char16_t(kPairs[2 * magnitude + 1]);
        *--p = char16_t(kPairs[2 * magnitude]);
    } else {
        *--p = char16_t(u'0' + magnitude);
    }
    if (value < 0) *--p = u'-';
    return last;
}

QString Str(double value)
{
    // Whole numbers that fit an integer print without a decimal point, so that a
    // computed count like Val("-1") + 1 reads "0", never "0.0" or "-0".
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    // Everything else with the seven significant digits of a single-precision print.
    return QString::number(value, 'g', 7);
}

double Val(const QString& text)
{
    // Collect the longest leading run that reads as a decimal number, then let the
    // C-locale conversion of QByteArray do the arithmetic.
    const int n = text.size();
    int i = 0;
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    QByteArray number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number.append(static_cast<char>(text[i++].unicode()));

    auto isDigit = [&](int k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    int digits = 0;
    while (isDigit(i)) {
        number.append(static_cast<char>(text[i++].unicode()));
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        number.append('.');
        ++i;
        while (isDigit(i)) {
            number.append(static_cast<char>(text[i++].unicode()));
            ++digits;
        }
    }
    if (digits == 0)
        return 0.0;

    // An exponent counts only when at least one digit follows it: "2e" is 2.
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        int k = i + 1;
        if (k < n && (text[k] == u'+' || text[k] == u'-'))
            ++k;
        if (isDigit(k)) {
            number.append('e');
            for (int j = i + 1; j < k; ++j)
                number.append(static_cast<char>(text[j].unicode()));
            while (isDigit(k))
                number.append(static_cast<char>(text[k++].unicode()));
        }
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok ? value : 0.0;
}

QString Format(double value, const QString& mask)
{
    // A mask is literal text around one run of placeholders: "0" always prints a
    // digit (a leading or trailing zero when needed), "#" prints one only when the
    // number has it. A "." followed by a placeholder separates the fraction; any other
    // "." is literal text ("No. 00").
    const auto isDigitHolder = [&](qsizetype k) {
        return k < mask.size() && (mask[k] == u'0' || mask[k] == u'#');
    };
    qsizetype first = 0;
    while (first < mask.size() && !isDigitHolder(first) && !(mask[first] == u'.' && isDigitHolder(first + 1)))
        ++first;
    if (first == mask.size())
        return mask;
    qsizetype last = first;
    bool seenPoint = false;
    while (isDigitHolder(last) || (!seenPoint && last < mask.size() && mask[last] == u'.' && isDigitHolder(last + 1))) {
        seenPoint = seenPoint || mask[last] == u'.';
        ++last;
    }
    const QString prefix = mask.left(first);
    const QString run = mask.mid(first, last - first);
    const QString suffix = mask.mid(last);

    const qsizetype point = run.indexOf(u'.');
    const QString intPart = point < 0 ? run : run.left(point);
    const QString fracPart = point < 0 ? QString() : run.mid(point + 1);
    const int minIntDigits = static_cast<int>(intPart.count(u'0'));
    const int fracDigits = static_cast<int>(fracPart.size());
    const int minFracDigits = static_cast<int>(fracPart.lastIndexOf(u'0') + 1);

    QString digits = QString::number(std::fabs(value), 'f', fracDigits);
    QString whole = digits;
    QString fraction;
    if (fracDigits > 0) {
        whole = digits.section(u'.', 0, 0);
        fraction = digits.section(u'.', 1, 1);
        while (fraction.size() > minFracDigits && fraction.endsWith(u'0'))
            fraction.chop(1);
    }
    if (whole == u"0" && minIntDigits == 0)
        whole.clear();
    while (whole.size() < minIntDigits)
        whole.prepend(u'0');

    QString result = whole;
    if (!fraction.isEmpty())
        result += u'.' + fraction;
    const bool isZero = (whole.isEmpty() || whole.count(u'0') == whole.size())
                        && fraction.count(u'0') == fraction.size();
    if (value < 0 && !isZero)
        result.prepend(u'-');
    return prefix + result + suffix;
}

int CountFields(const QString& text, const QString& separator)
{
    if (text.isEmpty())
        return 0;
    if (separator.isEmpty())
        return 1;
    return static_cast<int>(text.count(separator)) + 1;
}

QString NthField(const QString& text, const QString& separator, int n)
{
    if (n < 1 || text.isEmpty())
        return QString();
    if (separator.isEmpty())
        return n == 1 ? text : QString();
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype next = text.indexOf(separator, start);
        if (next < 0)
            return QString();
        start = next + separator.size();
    }
    const qsizetype end = text.indexOf(separator, start);
    return end < 0 ? text.mid(start) : text.mid(start, end - start);
}

QString ReplaceAll(const QString& source, const QString& find, const QString& replacement)
{
    if (find.isEmpty())
        return source;
    QString result = source;
    return result.replace(find, replacement);
}

QString Chr(int code)
{
    if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return QString();
    const char32_t c = static_cast<char32_t>(code);
    return QString::fromUcs4(&c, 1);
}

int CompareText(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}
