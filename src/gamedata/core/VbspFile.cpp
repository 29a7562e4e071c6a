#include "VbspFile.h"

#include "CFileVBSP.h"
#include "CSaveFile.h"
#include "GamedataErrors.h"
#include "functions.h"

#include <QFile>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <locale.h>
#include <memory>

namespace {

// --- Numbers in the C locale ---------------------------------------------------

// Qt sets the C library's locale from the environment, where a decimal comma
// would make "0.5" read as 0; the file format always uses a full stop.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

// As atof reads it (leading white space, longest valid prefix, 0 when none),
// but not a number counts as none.
double parseReal(const char *text)
{
    const double value = strtod_l(text, nullptr, cLocale());
    return std::isnan(value) ? 0.0 : value;
}

// As atoi reads it, without the overflow: out-of-range text saturates.
long long parseInteger(const char *text)
{
    return strtoll_l(text, nullptr, 10, cLocale());
}

float clampReal(double value, double low, double high)
{
    return float(value < low ? low : (value > high ? high : value));
}

int32_t clampInteger(long long value, int32_t low, int32_t high)
{
    return int32_t(value < low ? low : (value > high ? high : value));
}

// As sprintf's "%g" writes it in the C locale: six significant digits, no
// trailing zeros.
std::string formatReal(float value)
{
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, double(value), std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

std::string formatInteger(int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// --- Reading -------------------------------------------------------------------

struct RealKey
{
    const char *key;
    float CDetailProp::*field;
    float low;
    float high;
};

// Angles are only brought into 0..360 here; minimum against maximum is
// settled once the prop is complete, so the order of the two lines does not
// matter.
const RealKey RealKeys[] = {
    {"spriterandomscale", &CDetailProp::spriterandomscale, 0.0f, 1.0f},
    {"amount", &CDetailProp::amount, 0.0f, 1.0f},
    {"minangle", &CDetailProp::minangle, 0.0f, VbspFile::MaxAngle},
    {"maxangle", &CDetailProp::maxangle, 0.0f, VbspFile::MaxAngle},
    {"shape_angle", &CDetailProp::shape_angle, 0.0f, VbspFile::MaxAngle},
    {"shape_size", &CDetailProp::shape_size, 0.0f, 1.0f},
    {"sway", &CDetailProp::sway, 0.0f, 1.0f},
};

// Blank-separated pieces of a value, each NUL-terminated for the parsers.
std::vector<std::vector<char>> numberPieces(const std::string &value)
{
    std::vector<std::vector<char>> pieces =
        splitBytes(value.data(), value.data() + value.size(), ' ', false, 1);
    for (std::vector<char> &piece : pieces)
        piece.push_back('\0');
    return pieces;
}

void setSprite(CDetailProp &prop, const std::string &value)
{
    int32_t CDetailProp::*const fields[] = {&CDetailProp::xOrigin, &CDetailProp::yOrigin,
                                            &CDetailProp::xWidth, &CDetailProp::yHeight,
                                            &CDetailProp::textureDimension};
    const std::vector<std::vector<char>> pieces = numberPieces(value);
    for (std::size_t i = 0; i < pieces.size() && i < std::size(fields); ++i) {
        prop.*fields[i] =
            clampInteger(parseInteger(pieces[i].data()), 0, VbspFile::MaxSpriteCoordinate);
    }
}

// The sprite's origin as a fraction of its size, then its width and height in
// world units ("0.5 0 32 32"): only the origin has an upper bound.
void setSpriteSize(CDetailProp &prop, const std::string &value)
{
    const RealKey fields[] = {{nullptr, &CDetailProp::uOrigin, 0.0f, 1.0f},
                              {nullptr, &CDetailProp::vOrigin, 0.0f, 1.0f},
                              {nullptr, &CDetailProp::uWidth, 0.0f, VbspFile::MaxSpriteSize},
                              {nullptr, &CDetailProp::vHeight, 0.0f, VbspFile::MaxSpriteSize}};
    const std::vector<std::vector<char>> pieces = numberPieces(value);
    if (pieces.size() != std::size(fields))
        return;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        prop.*fields[i].field =
            clampReal(parseReal(pieces[i].data()), fields[i].low, fields[i].high);
}

void setPropValue(CDetailProp &prop, const std::string &key, const std::string &value)
{
    for (const RealKey &real : RealKeys) {
        if (key == real.key) {
            prop.*real.field = clampReal(parseReal(value.c_str()), real.low, real.high);
            return;
        }
    }
    if (key == "model")
        prop.model = value;
    else if (key == "sprite_shape")
        prop.sprite_shape = value;
    else if (key == "sprite")
        setSprite(prop, value);
    else if (key == "spritesize")
        setSpriteSize(prop, value);
    else if (key == "detailOrientation")
        prop.detailOrientation =
            clampInteger(parseInteger(value.c_str()), 0, VbspFile::MaxOrientation);
    else if (key == "upright")
        prop.upright = parseInteger(value.c_str()) != 0;
}

// The reader's place in the nesting, one level per open block.
class Reader
{
public:
    explicit Reader(CFileVBSP &document)
        : m_document(document)
    {}

    // Line `number` (from 1) of the file. False once the file holds more
    // records than a listing plausibly can.
    bool line(const std::string &text, std::size_t number);
    // Empty when the file read whole; otherwise why it is refused: a file
    // with text but no "detail" block, or one that ends inside a block, would
    // be saved back without what the reader did not take.
    QString finish();

private:
    enum class Level
    {
        Outside,
        Detail,
        Type,
        Group,
        Prop
    };
    // Where each open block began, for the message when it never closes.
    struct Opening
    {
        std::string name;
        std::size_t line = 0;
    };

    void open(Level level, const std::string &name, std::size_t number);
    void close();
    void completeProp();
    bool countRecord() { return ++m_records <= VbspFile::MaxRecords; }

    CFileVBSP &m_document;
    Level m_level = Level::Outside;
    CDetailType *m_type = nullptr;
    CDetailGroup *m_group = nullptr;
    CDetailProp *m_prop = nullptr;
    std::size_t m_records = 0;
    Opening m_openings[int(Level::Prop) + 1];
    bool m_sawDetail = false;
    std::size_t m_firstText = 0;
};

void Reader::open(Level level, const std::string &name, std::size_t number)
{
    m_level = level;
    m_openings[int(level)] = {name, number};
}

bool Reader::line(const std::string &text, std::size_t number)
{
    std::string key;
    std::string value;
    const bool hasValue = splitKeyValueLine(text, key, value);
    // A word alone leaves "?" as the value; a word before an unclosed quote
    // leaves it empty, and that line holds more than a name.
    const bool lone = !hasValue && !key.empty() && value == "?";
    if (m_level == Level::Outside) {
        if (lone && key == "detail") {
            m_sawDetail = true;
            open(Level::Detail, key, number);
        } else if (m_firstText == 0 && (!key.empty() || !value.empty())) {
            // Blank and comment lines leave both empty.
            m_firstText = number;
        }
        return true;
    }
    if (key == "}") {
        close();
        return true;
    }
    const bool name = lone && key != "{";
    switch (m_level) {
    case Level::Outside:
        break;
    case Level::Detail:
        if (name) {
            if (!countRecord())
                return false;
            m_type = new CDetailType;
            m_type->name = key;
            m_document.types.push_back(m_type);
            open(Level::Type, key, number);
        }
        break;
    case Level::Type:
        if (hasValue && key == "density") {
            m_type->density = clampReal(parseReal(value.c_str()), 0.0, FLT_MAX);
        } else if (name) {
            if (!countRecord())
                return false;
            m_group = new CDetailGroup;
            m_group->name = key;
            m_type->groups.push_back(m_group);
            open(Level::Group, key, number);
        }
        break;
    case Level::Group:
        if (hasValue && key == "alpha") {
            m_group->alpha = clampReal(parseReal(value.c_str()), 0.0, 1.0);
        } else if (name) {
            if (!countRecord())
                return false;
            m_prop = new CDetailProp;
            m_prop->name = key;
            m_group->props.push_back(m_prop);
            open(Level::Prop, key, number);
        }
        break;
    case Level::Prop:
        if (hasValue)
            setPropValue(*m_prop, key, value);
        break;
    }
    return true;
}

void Reader::close()
{
    switch (m_level) {
    case Level::Outside:
        break;
    case Level::Detail:
        m_level = Level::Outside;
        break;
    case Level::Type:
        m_level = Level::Detail;
        break;
    case Level::Group:
        m_level = Level::Type;
        break;
    case Level::Prop:
        completeProp();
        m_level = Level::Group;
        break;
    }
}

QString Reader::finish()
{
    if (m_level == Level::Prop)
        completeProp();
    if (!m_sawDetail && m_firstText != 0)
        return QString::fromLatin1(GamedataError::VbspNoDetailBlock).arg(m_firstText);
    if (m_level != Level::Outside) {
        const Opening &opening = m_openings[int(m_level)];
        return QString::fromLatin1(GamedataError::VbspBlockNotClosed)
            .arg(QString::fromLatin1(opening.name.data(), int(opening.name.size())))
            .arg(opening.line);
    }
    return QString();
}

void Reader::completeProp()
{
    if (m_prop->minangle > m_prop->maxangle)
        m_prop->minangle = m_prop->maxangle;
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// --- Writing -------------------------------------------------------------------

class Writer
{
public:
    explicit Writer(bool shapeSupport)
        : m_shapeSupport(shapeSupport)
    {}

    void document(const CFileVBSP &document);
    const std::string &text() const { return m_text; }

private:
    void type(const CDetailType &type);
    void group(const CDetailGroup &group);
    void prop(const CDetailProp &prop);
    template <typename Child>
    void block(int tabs, const std::string &name, const char *key, float value,
               const std::vector<Child *> &children, void (Writer::*child)(const Child &));
    void line(int tabs, const std::string &text);
    void keyLine(int tabs, const char *key, const std::string &value);
    void emptyLine() { m_text += "\r\n"; }

    bool m_shapeSupport;
    std::string m_text;
};

void Writer::line(int tabs, const std::string &text)
{
    m_text.append(std::size_t(tabs), '\t');
    m_text += text;
    m_text += "\r\n";
}

void Writer::keyLine(int tabs, const char *key, const std::string &value)
{
    line(tabs, std::string("\"") + key + "\" \"" + value + '"');
}

void Writer::document(const CFileVBSP &document)
{
    line(0, "detail");
    line(0, "{");
    bool first = true;
    for (const CDetailType *each : document.types) {
        if (!each)
            continue;
        if (!first)
            emptyLine();
        first = false;
        type(*each);
    }
    line(0, "}");
}

// A type or group: its name, its one value, then an empty line and its
// children when it has any.
template <typename Child>
void Writer::block(int tabs, const std::string &name, const char *key, float value,
                   const std::vector<Child *> &children, void (Writer::*child)(const Child &))
{
    line(tabs, name);
    line(tabs, "{");
    keyLine(tabs + 1, key, formatReal(value));
    if (!children.empty())
        emptyLine();
    for (const Child *each : children) {
        if (each)
            (this->*child)(*each);
    }
    line(tabs, "}");
}

void Writer::type(const CDetailType &type)
{
    block(1, type.name, "density", type.density, type.groups, &Writer::group);
}

void Writer::group(const CDetailGroup &group)
{
    block(2, group.name, "alpha", group.alpha, group.props, &Writer::prop);
}

void Writer::prop(const CDetailProp &prop)
{
    line(3, prop.name);
    line(3, "{");
    if (prop.isModel()) {
        keyLine(4, "model", prop.model);
        keyLine(4, "amount", formatReal(prop.amount));
    } else {
        if (m_shapeSupport && !prop.sprite_shape.empty())
            keyLine(4, "sprite_shape", prop.sprite_shape);
        keyLine(4, "sprite",
                formatInteger(prop.xOrigin) + ' ' + formatInteger(prop.yOrigin) + ' ' +
                    formatInteger(prop.xWidth) + ' ' + formatInteger(prop.yHeight) + ' ' +
                    formatInteger(prop.textureDimension));
        keyLine(4, "spritesize",
                formatReal(prop.uOrigin) + ' ' + formatReal(prop.vOrigin) + ' ' +
                    formatReal(prop.uWidth) + ' ' + formatReal(prop.vHeight));
        keyLine(4, "spriterandomscale", formatReal(prop.spriterandomscale));
        keyLine(4, "amount", formatReal(prop.amount));
        keyLine(4, "detailOrientation", formatInteger(prop.detailOrientation));
        // Only the triangle shape has an angle and an offset.
        if (m_shapeSupport && prop.sprite_shape == "tri") {
            keyLine(4, "shape_angle", formatReal(prop.shape_angle));
            keyLine(4, "shape_size", formatReal(prop.shape_size));
        }
        if (m_shapeSupport)
            keyLine(4, "sway", formatReal(prop.sway));
    }
    if (prop.minangle != 180.0f)
        keyLine(4, "minangle", formatReal(prop.minangle));
    if (prop.maxangle != 180.0f)
        keyLine(4, "maxangle", formatReal(prop.maxangle));
    if (prop.upright)
        keyLine(4, "upright", "1");
    line(3, "}");
}

} // namespace

CFileVBSP *readVbspFile(const std::string &path, QString *error)
{
    QFile file(QFile::decodeName(path.c_str()));
    if (path.empty() || !file.open(QIODevice::ReadOnly)) {
        setError(error, QString::fromLatin1(GamedataError::VbspUnableToOpen));
        return nullptr;
    }
    // Bounded read: a device or a pipe reports no size and may never end.
    const QByteArray bytes = file.read(VbspFile::MaxFileBytes + 1);
    return readVbspData(bytes, path, error);
}

CFileVBSP *readVbspData(const QByteArray &bytes, const std::string &path, QString *error)
{
    if (bytes.size() > VbspFile::MaxFileBytes) {
        setError(error,
                 QString::fromLatin1(GamedataError::VbspTooLarge).arg(VbspFile::MaxFileBytes));
        return nullptr;
    }
    auto document = std::make_unique<CFileVBSP>(path);
    Reader reader(*document);
    const char *const data = bytes.constData();
    const std::size_t size = std::size_t(bytes.size());
    std::size_t start = 0;
    if (bytes.startsWith(VbspFile::Utf8Mark)) {
        document->byteOrderMark = true;
        start = std::strlen(VbspFile::Utf8Mark);
    }
    for (std::size_t number = 1; start < size; ++number) {
        const void *feed = std::memchr(data + start, '\n', size - start);
        const std::size_t end = feed ? std::size_t(static_cast<const char *>(feed) - data) : size;
        if (!reader.line(std::string(data + start, end - start), number)) {
            setError(
                error,
                QString::fromLatin1(GamedataError::VbspTooManyRecords).arg(VbspFile::MaxRecords));
            return nullptr;
        }
        start = end + 1;
    }
    const QString refused = reader.finish();
    if (!refused.isEmpty()) {
        setError(error, refused);
        return nullptr;
    }
    return document.release();
}

QByteArray vbspBytes(const CFileVBSP &document)
{
    Writer writer(document.detailShapeSupport);
    writer.document(document);
    const QByteArray text(writer.text().data(), int(writer.text().size()));
    return document.byteOrderMark ? VbspFile::Utf8Mark + text : text;
}

bool writeVbspFile(const CFileVBSP &document, const std::string &path, QString *error)
{
    if (path.empty()) {
        setError(error, QString::fromLatin1(GamedataError::VbspInvalidPath));
        return false;
    }
    return CSaveFile::writeAll(QFile::decodeName(path.c_str()), vbspBytes(document), error);
}

std::vector<std::vector<char>> splitBytes(const char *begin, const char *end, char delimiter,
                                          bool keepEmpty, int32_t extra)
{
    std::vector<std::vector<char>> pieces;
    const std::size_t room = extra > 0 ? std::size_t(extra) : 0;
    const auto append = [&](const char *from, const char *to) {
        pieces.emplace_back();
        pieces.back().reserve(std::size_t(to - from) + room);
        pieces.back().assign(from, to);
    };
    const char *start = begin;
    for (const char *at = begin; at != end; ++at) {
        if (*at != delimiter)
            continue;
        if (keepEmpty || at != start)
            append(start, at);
        start = at + 1;
    }
    if (start != end)
        append(start, end);
    return pieces;
}
