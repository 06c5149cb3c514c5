#pragma once
// The toolkit side of Listbox: the model that holds the rows, the view that shows them
// and carries a dragged row, and the delegate that lets the program paint a cell.
#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <vector>

class Listbox;

struct ListboxRow {
    QString text;
    QString tag;
};

class ListboxModel : public QAbstractListModel {
public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    std::vector<ListboxRow> rows;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool draggable = false;

    void append(const QString& text);
    void insert(int row, const ListboxRow& value);
    void remove(int row);
    void clear();
    void changed(int row);
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
    bool acceptsDrag(const QDropEvent* event) const;
    Listbox* list_;
};
