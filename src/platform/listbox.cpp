#include "platform/listbox.h"

#include "platform/graphics.h"
#include "platform/listbox_parts.h"
#include "platform/long_text.h"
#include "platform/menu_item.h"
#include "platform/runtime.h"
#include "platform/window.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace {
const char* const kRowMimeType = "application/x-lexivane-list-row";
// Rows longer than this are measured and drawn piece by piece.
constexpr int kLongRow = 1000;

// A cell shows on one line: line breaks in its text show as blanks.
QString oneLine(const QString& text)
{
    if (!text.contains('\r') && !text.contains('\n')) return text;
    QString shown = text;
    shown.replace("\r\n", " ");
    shown.replace('\r', ' ');
    shown.replace('\n', ' ');
    return shown;
}

// The process and the list that a dragged row comes from.
QByteArray rowOrigin(const Listbox* list)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':'
           + QByteArray::number(quintptr(list), 16) + ':';
}
}  // namespace

QMimeData* ListboxRowMimeData(const Listbox* list, int row)
{
    auto* mime = new QMimeData;
    // Nothing but our own type: a row never leaves its list, so no other widget or program
    // may take it as text.
    mime->setData(kRowMimeType, rowOrigin(list) + QByteArray::number(row));
    return mime;
}

// ---- model

int ListboxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

QModelIndex ListboxModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || column != 0 || row < 0 || row >= count()) return {};
    // Asked from outside the view for a row it has not seen yet: tell it first. (The view
    // itself only asks for rows it knows, so this never runs inside its own work.)
    if (row >= shown_) const_cast<ListboxModel*>(this)->announce();
    return createIndex(row, 0);
}

QVariant ListboxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count()) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return oneLine(text(index.row()));
    case Qt::AccessibleDescriptionRole:
        return describe ? describe(index.row()) : QString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment);
    default:
        return {};
    }
}

Qt::ItemFlags ListboxModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractListModel::flags(index);
    if (draggable && index.isValid()) f |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return f;
}

void ListboxChars::grow(size_t length)
{
    if (size_ + length > std::numeric_limits<quint32>::max()) throw std::bad_alloc();
    reserve(std::max<size_t>({size_ + length, 2 * capacity_, 4096}));
}

void ListboxChars::reserve(size_t capacity)
{
    if (capacity <= capacity_) return;
    std::unique_ptr<char16_t[]> bigger(new char16_t[capacity]);
    if (size_ > 0) std::memcpy(bigger.get(), data_.get(), size_ * sizeof(char16_t));
    data_ = std::move(bigger);
    capacity_ = capacity;
}

QString ListboxModel::load(Span span) const
{
    return QString(reinterpret_cast<const QChar*>(chars_.data() + span.at), qsizetype(span.length));
}

ListboxModel::Span ListboxModel::store(const QString& text)
{
    const Span span{quint32(chars_.size()), quint32(text.size())};
    chars_.append(reinterpret_cast<const char16_t*>(text.constData()), size_t(text.size()));
    return span;
}

void ListboxModel::replace(Span& span, const QString& text)
{
    // The text at the end of the buffer (a tag that a search extends id by id) is
    // rewritten in place.
    const Span old = std::exchange(span, Span{});
    if (old.length > 0) {
        if (old.at + old.length == chars_.size()) chars_.truncate(old.at);
        else drop(old);
    }
    span = store(text);
}

void ListboxModel::drop(Span span)
{
    dropped_ += span.length;
    if (dropped_ < 4096 || dropped_ < chars_.size() / 2) return;
    ListboxChars kept;
    kept.reserve(chars_.size() - dropped_);
    for (Row& row : rows_) {
        for (Span* s : {&row.text, &row.tag}) {
            const quint32 at = quint32(kept.size());
            kept.append(chars_.data() + s->at, s->length);
            s->at = at;
        }
    }
    chars_.swap(kept);
    dropped_ = 0;
}

void ListboxModel::setText(int row, const QString& text)
{
    replace(rows_[size_t(row)].text, text);
}

QString ListboxModel::tag(int row) const
{
    if (row != taggedRow_ || tagHandedOver_) {
        // In the kept text's buffer when no one else holds it, with room for a few more ids,
        // which a search appends next.
        const Span span = rows_[size_t(row)].tag;
        if (!tag_.isDetached()) tag_ = QString();
        tag_.resize(0);
        tag_.reserve(qsizetype(span.length) + 16);
        tag_.append(reinterpret_cast<const QChar*>(chars_.data() + span.at), qsizetype(span.length));
        taggedRow_ = row;
    }
    tagHandedOver_ = true;
    return std::move(tag_);
}

void ListboxModel::setTag(int row, const QString& tag)
{
    replace(rows_[size_t(row)].tag, tag);
    if (row == taggedRow_) {
        tag_ = tag;
        tagHandedOver_ = false;
    }
}

void ListboxModel::append(const QString& text)
{
    const Span stored = store(text);
    rows_.push_back({stored, {quint32(chars_.size()), 0}});
    announceLater();
}

void ListboxModel::announceLater()
{
    if (announcePosted_) return;
    announcePosted_ = true;
    QMetaObject::invokeMethod(this, [this] {
        announcePosted_ = false;
        // Within a yield, too few new rows wait for a later one, or for the event loop; so
        // do rows coming sooner than a tenth of a second after the view last heard, or after
        // the list was emptied (a search that soon done shows its rows once, at its end).
        if (Yielding() && announced_.isValid() && (count() < 4 * shown_ || announced_.elapsed() < 100))
            announceLater();
        else announce();
    }, Qt::QueuedConnection);
}

void ListboxModel::announce()
{
    const int total = count();
    if (shown_ >= total) return;
    beginInsertRows(QModelIndex(), shown_, total - 1);
    shown_ = total;
    endInsertRows();
    announced_.start();
}

void ListboxModel::insert(int row, const ListboxRow& value)
{
    announce();
    forgetTag();
    beginInsertRows(QModelIndex(), row, row);
    const Span text = store(value.text);
    rows_.insert(rows_.begin() + row, Row{text, store(value.tag)});
    ++shown_;
    endInsertRows();
}

void ListboxModel::remove(int row)
{
    announce();
    forgetTag();
    beginRemoveRows(QModelIndex(), row, row);
    const Row removed = rows_[size_t(row)];
    rows_.erase(rows_.begin() + row);
    --shown_;
    endRemoveRows();
    drop(removed.text);
    drop(removed.tag);
}

void ListboxModel::clear()
{
    forgetTag();
    announced_.start();
    if (shown_ > 0) beginRemoveRows(QModelIndex(), 0, shown_ - 1);
    rows_.clear();
    chars_.clear();
    dropped_ = 0;
    if (shown_ > 0) {
        shown_ = 0;
        endRemoveRows();
    }
}

void ListboxModel::changed(int row)
{
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

// ---- delegate

ListboxDelegate::ListboxDelegate(Listbox* list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}
ListboxDelegate::~ListboxDelegate() = default;

void ListboxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    Graphics g(painter, option.rect);
    painter->save();
    const bool painted = list_->PaintCellBackground(g, index.row(), index.column());
    painter->restore();
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    if (painted) {
        // The program painted the background: draw the text alone, with no selection
        // highlight over the colour.
        opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.backgroundBrush = Qt::NoBrush;
        opt.palette.setColor(QPalette::Text, Qt::black);
    }
    const LongLine* line = opt.text.size() > kLongRow ? &longLine(opt.text, opt.font) : nullptr;
    if (line) opt.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    if (line) drawLongLine(painter, opt, *line);
    if (list_->GridLinesHorizontal() > 0) {
        painter->save();
        painter->setPen(QColor(200, 200, 200));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        painter->restore();
    }
}

void ListboxDelegate::drawLongLine(QPainter* painter, const QStyleOptionViewItem& option,
                                   const LongLine& line) const
{
    // Where and in which colour the style would put the text.
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
    qreal left = room.left();
    if (line.Width() < room.width()) {
        if (option.displayAlignment & Qt::AlignRight) left = room.right() + 1 - line.Width();
        else if (option.displayAlignment & Qt::AlignHCenter) left += (room.width() - line.Width()) / 2;
    }
    const QFontMetricsF metrics(line.Font());
    const qreal baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active)) group = QPalette::Inactive;
    QRectF visible = room;
    if (auto* view = qobject_cast<const QAbstractItemView*>(widget))
        visible &= QRectF(view->viewport()->rect());
    if (painter->hasClipping()) visible &= painter->clipBoundingRect();
    painter->save();
    painter->setClipRect(room, Qt::IntersectClip);
    painter->setPen(option.palette.color(group, option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                       : QPalette::Text));
    line.Draw(painter, left, baseline, visible.left(), visible.right());
    painter->restore();
}

const LongLine& ListboxDelegate::longLine(const QString& text, const QFont& font) const
{
    for (const auto& line : longLines_)
        if (line->Font() == font && line->Text() == text) return *line;
    if (longLines_.size() >= 16) longLines_.erase(longLines_.begin());
    longLines_.push_back(std::make_unique<LongLine>(text, font));
    return *longLines_.back();
}

QSize ListboxDelegate::rowSize(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    if (opt.text.size() <= kLongRow) return style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget);
    const int width = qCeil(longLine(opt.text, opt.font).Width());
    opt.text = QStringLiteral(" ");
    const QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget);
    return {size.width() + width, size.height()};
}

QSize ListboxDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = rowSize(option, index);
    if (list_->ScrollbarHorizontal()) {
        if (widest_ < 0 || widestFont_ != option.font) {
            widest_ = 0;
            widestFont_ = option.font;
            const QAbstractItemModel* model = index.model();
            for (int row = 0, rows = model ? model->rowCount() : 0; row < rows; ++row)
                widest_ = std::max(widest_, rowSize(option, model->index(row, 0)).width());
        }
        size.setWidth(std::max(size.width(), widest_));
    }
    if (list_->DefaultRowHeight() > 0) size.setHeight(list_->DefaultRowHeight());
    return size;
}

// ---- view

ListboxView::ListboxView(Listbox* list, QWidget* parent)
    : QListView(parent), list_(list), delegate_(new ListboxDelegate(list, this))
{
    setItemDelegate(delegate_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTextElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void ListboxView::mousePressEvent(QMouseEvent* event)
{
    // A right press opens the context menu, which acts on the selected row: it selects nothing.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) {
        const QRect cell = visualRect(index);
        const QPoint at = event->position().toPoint() - cell.topLeft();
        if (list_->RaiseCellClick(index.row(), 0, at.x(), at.y())) return;
    }
    QListView::mousePressEvent(event);
}

void ListboxView::rowsChanged()
{
    delegate_->rowsChanged();
}

void ListboxView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    rowsChanged();
    QListView::rowsInserted(parent, start, end);
}

void ListboxView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    rowsChanged();
    QListView::rowsAboutToBeRemoved(parent, start, end);
}

void ListboxView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    rowsChanged();
    QListView::dataChanged(topLeft, bottomRight, roles);
}

void ListboxView::reset()
{
    rowsChanged();
    QListView::reset();
}

void ListboxView::updateGeometries()
{
    QListView::updateGeometries();
    // The view would scroll sideways by a whole row's width per step; a long row is read a
    // few characters at a time.
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth() * 4);
}

void ListboxView::contextMenuEvent(QContextMenuEvent* event)
{
    list_->RaiseContextMenu(event->pos().x(), event->pos().y(), event->globalPos());
}

void ListboxView::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    if (!index.isValid()) return;
    // Our own drag: the source row travels by number, and the drop decides what moves.
    auto* drag = new QDrag(this);
    drag->setMimeData(ListboxRowMimeData(list_, index.row()));
    drag->exec(Qt::MoveAction, Qt::MoveAction);
}

int ListboxView::draggedRow(const QDropEvent* event) const
{
    const QMimeData* mime = event->mimeData();
    if (!mime || !mime->hasFormat(kRowMimeType)) return -1;
    const QByteArray data = mime->data(kRowMimeType);
    const QByteArray origin = rowOrigin(list_);
    if (!data.startsWith(origin)) return -1;
    bool ok = false;
    const int row = data.mid(origin.size()).toInt(&ok);
    return ok ? row : -1;
}

void ListboxView::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggedRow(event) < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    setState(DraggingState);
}

void ListboxView::dragMoveEvent(QDragMoveEvent* event)
{
    // The base class scrolls the list while the pointer rests near its top or bottom edge,
    // so that a row can be dropped on one that was out of sight when the drag began.
    QListView::dragMoveEvent(event);
    if (draggedRow(event) >= 0) event->acceptProposedAction();
    else event->ignore();
}

void ListboxView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(NoState);
    const int source = draggedRow(event);
    if (source < 0) {
        event->ignore();
        return;
    }
    const QModelIndex target = indexAt(event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
    list_->DroppedRow(source, target.isValid() ? target.row() : -1);
}

// ---- Listbox

Listbox::Listbox(Window* window, const QString& name)
    : RectControl(window, name, new ListboxView(this, window->ContentWidget()))
{
    view_ = static_cast<ListboxView*>(Widget());
    model_ = new ListboxModel;
    model_->setParent(view_);
    model_->describe = [this](int row) { return DescribeCell(row, 0); };
    view_->setModel(model_);
    QObject::connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [this] { RaiseChange(); });
}

Listbox::~Listbox() = default;

void Listbox::AddRow(const QString& text)
{
    model_->append(text);
    lastIndex_ = model_->count() - 1;
}

void Listbox::RemoveRow(int row)
{
    if (row < 0 || row >= ListCount()) return;
    const bool wasSelected = Selected(row);
    const int before = changeCount_;
    // The view would move the current row, and with it the selection, to the next row on
    // its own (and the program would take that for the user's choice); the removed row's
    // selection goes with it instead.
    if (wasSelected || view_->currentIndex().row() == row)
        view_->selectionModel()->setCurrentIndex(QModelIndex(), wasSelected ? QItemSelectionModel::Clear
                                                                             : QItemSelectionModel::NoUpdate);
    model_->remove(row);
    if (lastIndex_ >= ListCount()) lastIndex_ = ListCount() - 1;
    if (wasSelected && changeCount_ == before) RaiseChange();
}

void Listbox::DeleteAllRows()
{
    const bool hadSelection = SelCount() > 0;
    const int before = changeCount_;
    model_->clear();
    lastIndex_ = -1;
    if (hadSelection && changeCount_ == before) RaiseChange();
}

int Listbox::ListCount() const { return model_->count(); }

int Listbox::ListIndex() const
{
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void Listbox::SetListIndex(int row)
{
    if (row < 0 || row >= ListCount()) {
        view_->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
}

int Listbox::SelCount() const { return int(view_->selectionModel()->selectedIndexes().size()); }

bool Listbox::Selected(int row) const
{
    return row >= 0 && row < ListCount() && view_->selectionModel()->isRowSelected(row, QModelIndex());
}

QString Listbox::Cell(int row, int column) const
{
    if (row < 0 || row >= ListCount() || column != 0) return QString();
    return model_->text(row);
}

void Listbox::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= ListCount() || column != 0) return;
    model_->setText(row, text);
    model_->changed(row);
}

QString Listbox::CellTag(int row, int column) const
{
    if (row < 0 || row >= ListCount() || column != 0) return QString();
    return model_->tag(row);
}

void Listbox::SetCellTag(int row, int column, const QString& tag)
{
    if (row < 0 || row >= ListCount() || column != 0) return;
    model_->setTag(row, tag);
}

void Listbox::SetColumnAlignment(int column, int alignment)
{
    if (column != 0) return;
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == 2) horizontal = Qt::AlignHCenter;
    else if (alignment == 3) horizontal = Qt::AlignRight;
    model_->alignment = horizontal | Qt::AlignVCenter;
    view_->viewport()->update();
}

void Listbox::SetDefaultRowHeight(int height)
{
    rowHeight_ = height;
    view_->doItemsLayout();
}

void Listbox::SetGridLinesHorizontal(int style) { gridLines_ = style; }

void Listbox::SetScrollbarHorizontal(bool value)
{
    view_->setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    // A list that scrolls sideways shows every row whole.
    view_->setTextElideMode(value ? Qt::ElideNone : Qt::ElideRight);
    view_->doItemsLayout();
}

bool Listbox::ScrollbarHorizontal() const
{
    return view_->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
}

void Listbox::SetScrollbarVertical(bool value)
{
    view_->setVerticalScrollBarPolicy(value ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void Listbox::SetEnableDragReorder(bool value)
{
    dragReorder_ = value;
    model_->draggable = value;
    view_->setDragEnabled(value);
    view_->setAcceptDrops(value);
    view_->setDropIndicatorShown(value);
    view_->setDragDropMode(value ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
}

bool Listbox::PaintCellBackground(Graphics& g, int row, int column)
{
    if (!CellBackgroundPaint) return false;
    bool painted = false;
    CallFunctionWithExceptionHandling([&] { painted = CellBackgroundPaint(g, row, column); });
    return painted;
}

QString Listbox::DescribeCell(int row, int column)
{
    if (!CellDescription) return QString();
    QString description;
    CallFunctionWithExceptionHandling([&] { description = CellDescription(row, column); });
    return description;
}

void Listbox::DroppedRow(int sourceRow, int newPosition)
{
    bool handled = false;
    if (DragReorderRows)
        CallFunctionWithExceptionHandling([&] { handled = DragReorderRows(newPosition, -1); });
    if (handled || newPosition < 0 || sourceRow < 0 || sourceRow >= ListCount()
        || newPosition >= ListCount() || newPosition == sourceRow)
        return;
    // Left to the list: the dragged row moves to the drop row.
    const ListboxRow moved = model_->row(sourceRow);
    model_->remove(sourceRow);
    model_->insert(newPosition, moved);
    SetListIndex(newPosition);
}

void Listbox::RaiseChange()
{
    ++changeCount_;
    Raise(Change);
}

void Listbox::RaiseContextMenu(int x, int y, const QPoint& globalPos)
{
    if (!ConstructContextualMenu) return;
    MenuItem base;
    bool show = false;
    CallFunctionWithExceptionHandling([&] { show = ConstructContextualMenu(&base, x, y); });
    if (!show || base.Count() == 0) return;
    QMenu menu(view_);
    std::vector<std::pair<QAction*, MenuItem*>> items;
    for (int i = 0; i < base.Count(); ++i) {
        MenuItem* item = base.Item(i);
        if (item->IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(item->Text());
        action->setEnabled(item->Enabled());
        items.emplace_back(action, item);
    }
    QAction* chosen = menu.exec(globalPos);
    for (const auto& [action, item] : items) {
        if (action == chosen && ContextualMenuAction) {
            MenuItem* hit = item;
            CallFunctionWithExceptionHandling([&] { ContextualMenuAction(hit); });
        }
    }
}

bool Listbox::RaiseCellClick(int row, int column, int x, int y)
{
    if (!CellClick) return false;
    bool handled = false;
    CallFunctionWithExceptionHandling([&] { handled = CellClick(row, column, x, y); });
    return handled;
}
