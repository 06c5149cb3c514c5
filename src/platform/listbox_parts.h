#pragma once
// The toolkit side of Listbox: the model that holds the rows, the view that shows them
// and carries a dragged row, and the delegate that lets the program paint a cell.
#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

class Listbox;
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

// The rows' texts and tags lie one after another in one buffer of characters, so that a
// search adding 150,000 rows makes no allocation per row, and emptying the list frees one
// buffer. A text changed anywhere but at the buffer's end is written anew at the end; the
// old characters are dropped when they come to outweigh the rest.
//
// Rows appended one after another reach the view together: the model tells the view of
// them when control goes back to the event loop, or before anything else changes or asks
// for a row the view has not seen. Within a search's yields the view, which lays out every
// row it holds each time it hears of new ones, hears again only once the rows have
// grown fourfold, so that telling it costs in proportion to the rows.
class ListboxModel : public QAbstractListModel {
public:
    // The rows the view knows of.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool draggable = false;

    // Every row, including those the view has not been told of yet.
    int count() const { return int(rows_.size()); }
    QString text(int row) const { return load(rows_[size_t(row)].text); }
    QString tag(int row) const { return load(rows_[size_t(row)].tag); }
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
    // Tells the view of the new rows once control is back in the event loop (or a yield).
    void announceLater();

    std::vector<Row> rows_;
    std::vector<char16_t> chars_;
    size_t dropped_ = 0;   // characters of chars_ no row uses
    int shown_ = 0;
    bool announcePosted_ = false;
};

class ListboxDelegate : public QStyledItemDelegate {
public:
    explicit ListboxDelegate(Listbox* list) : list_(list) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    Listbox* list_;
};

class ListboxView : public QListView {
public:
    ListboxView(Listbox* list, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The row that a drag of this list carries, -1 for any other drag.
    int draggedRow(const QDropEvent* event) const;
    Listbox* list_;
};
