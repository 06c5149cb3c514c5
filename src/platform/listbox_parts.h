#pragma once
// The toolkit side of Listbox: the model that holds the rows, the view that shows them
// and carries a dragged row, and the delegate that lets the program paint a cell.
#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QListView>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

class Listbox;
class LongLine;
class QMimeData;

// What a drag of a row carries: the row, and which list of which running program it
// comes from, so that a list takes only its own rows. (A drag from another running copy
// of the program arrives with the same type, and a drop event knows its source object
// only while this process runs the drag.)
QMimeData* ListboxRowMimeData(const Listbox* list, int row);

struct ListboxRow {
    QString text;
    QString tag;
};

// The characters of a list's rows, one text after another. It grows by doubling and keeps
// its room when emptied.
class ListboxChars {
public:
    const char16_t* data() const { return data_.get(); }
    size_t size() const { return size_; }
    void append(const char16_t* from, size_t length)
    {
        if (capacity_ - size_ < length) grow(length);
        if (length > 0) std::memcpy(data_.get() + size_, from, length * sizeof(char16_t));
        size_ += length;
    }
    void truncate(size_t length) { size_ = std::min(size_, length); }
    void clear() { size_ = 0; }
    void reserve(size_t capacity);
    void swap(ListboxChars& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    void grow(size_t length);
    std::unique_ptr<char16_t[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// The rows' texts and tags lie one after another in one buffer of characters, so that a
// search adding 150,000 rows makes no allocation per row, and emptying the list frees one
// buffer. A text changed anywhere but at the buffer's end is written anew at the end; the
// old characters are dropped when they come to outweigh the rest.
//
// Rows appended one after another reach the view together: the model tells the view of
// them when control goes back to the event loop, or before anything else changes or asks
// for a row the view has not seen. Within a search's yields the view, which lays out every
// row it holds each time it hears of new ones, hears again only once the rows have
// grown fourfold and a tenth of a second has passed, so that telling it costs in
// proportion to the rows; it hears of the first rows a tenth of a second after the list
// was emptied.
class ListboxModel : public QAbstractListModel {
public:
    // The rows the view knows of.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool draggable = false;
    // A row's accessible description: what its look tells a sighted user.
    std::function<QString(int row)> describe;

    // Every row, including those the view has not been told of yet.
    int count() const { return int(rows_.size()); }
    QString text(int row) const { return load(rows_[size_t(row)].text); }
    QString tag(int row) const;
    ListboxRow row(int row) const { return {text(row), tag(row)}; }
    void setText(int row, const QString& text);
    void setTag(int row, const QString& tag);

    void append(const QString& text);
    void insert(int row, const ListboxRow& value);
    void remove(int row);
    void clear();
    void changed(int row);
    // Tells the view of the rows appended since it last heard.
    void announce();

private:
    struct Span {
        quint32 at = 0;
        quint32 length = 0;
    };
    struct Row {
        Span text;
        Span tag;
    };
    QString load(Span span) const;
    Span store(const QString& text);
    void replace(Span& span, const QString& text);
    void drop(Span span);
    void forgetTag()
    {
        taggedRow_ = -1;
        tagHandedOver_ = false;
        tag_ = QString();
    }
    // Tells the view of the new rows once control is back in the event loop (or a yield).
    void announceLater();

    std::vector<Row> rows_;
    ListboxChars chars_;
    size_t dropped_ = 0;   // characters of chars_ no row uses
    int shown_ = 0;
    bool announcePosted_ = false;
    QElapsedTimer announced_;   // since the view last heard of new rows
    // The tag last asked for, kept as a text: a search extends the last row's tag id by id,
    // reading it back each time. The kept text is handed over to the one who asks, who then
    // appends in its buffer instead of copying it; the tag it sets comes back as the kept one.
    mutable int taggedRow_ = -1;
    mutable bool tagHandedOver_ = false;
    mutable QString tag_;
};

// Draws a cell: the program's background if it paints one, then the text. A row too long for
// the toolkit's own text layout is measured and drawn piece by piece.
class ListboxDelegate : public QStyledItemDelegate {
public:
    ListboxDelegate(Listbox* list, QObject* parent);
    ~ListboxDelegate() override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // All rows share one size (the view asks for one row only). In a list that scrolls
    // sideways it is as wide as the widest row, so that every row can be read to its end.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The rows changed: the widest is measured again when next asked for.
    void rowsChanged() { widest_ = -1; }

private:
    QSize rowSize(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    const LongLine& longLine(const QString& text, const QFont& font) const;
    void drawLongLine(QPainter* painter, const QStyleOptionViewItem& option, const LongLine& line) const;

    Listbox* list_;
    mutable int widest_ = -1;
    mutable QFont widestFont_;
    mutable std::vector<std::unique_ptr<LongLine>> longLines_;   // the last few measured
};

class ListboxView : public QListView {
public:
    ListboxView(Listbox* list, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void reset() override;
    void updateGeometries() override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The row that a drag of this list carries, -1 for any other drag.
    int draggedRow(const QDropEvent* event) const;
    void rowsChanged();
    Listbox* list_;
    ListboxDelegate* delegate_;   // owned as a child
};
