#pragma once
// A list of rows, each with a cell text and a cell tag, one column. The toolkit view
// shows it; the program reads and writes it by row number.
#include "platform/rect_control.h"

#include <QString>
#include <functional>

class Graphics;
class ListboxModel;
class ListboxView;
class MenuItem;

class Listbox : public RectControl {
public:
    Listbox(Window* window, const QString& name);
    ~Listbox() override;

    void AddRow(const QString& text);
    void RemoveRow(int row);
    void DeleteAllRows();
    int ListCount() const;
    // The row added last, -1 before any.
    int LastIndex() const { return lastIndex_; }
    // The selected row, -1 when none is.
    int ListIndex() const;
    void SetListIndex(int row);
    int SelCount() const;
    bool Selected(int row) const;

    // Outside the list, a cell reads as the empty text and takes no writes.
    QString Cell(int row, int column) const;
    void SetCell(int row, int column, const QString& text);
    QString CellTag(int row, int column) const;
    void SetCellTag(int row, int column, const QString& tag);

    // Design values.
    void SetColumnCount(int count) { columnCount_ = count; }
    // 0 default, 1 left, 2 centred, 3 right.
    void SetColumnAlignment(int column, int alignment);
    // Row height in pixels; -1 for the font's own.
    void SetDefaultRowHeight(int height);
    int DefaultRowHeight() const { return rowHeight_; }
    void SetGridLinesHorizontal(int style);
    void SetScrollbarHorizontal(bool value);
    void SetScrollbarVertical(bool value);
    void SetEnableDragReorder(bool value);
    bool EnableDragReorder() const { return dragReorder_; }

    // Events.
    std::function<void()> Change;
    std::function<bool(int row, int column, int x, int y)> CellClick;
    // True: the handler painted the background, so the list draws only the text.
    std::function<bool(Graphics& g, int row, int column)> CellBackgroundPaint;
    // What a cell's look tells a sighted user, in words, for a screen reader; empty: nothing.
    std::function<QString(int row, int column)> CellDescription;
    // A dragged row dropped on row newPosition (-1 when not on a row). True: the list
    // moves nothing itself.
    std::function<bool(int newPosition, int parentRow)> DragReorderRows;
    std::function<bool(MenuItem* base, int x, int y)> ConstructContextualMenu;
    std::function<bool(MenuItem* hitItem)> ContextualMenuAction;

    // Used by the view.
    bool PaintCellBackground(Graphics& g, int row, int column);
    QString DescribeCell(int row, int column);
    bool ScrollbarHorizontal() const;
    void DroppedRow(int sourceRow, int newPosition);
    void RaiseChange();
    void RaiseContextMenu(int x, int y, const QPoint& globalPos);
    bool RaiseCellClick(int row, int column, int x, int y);
    int GridLinesHorizontal() const { return gridLines_; }

private:
    ListboxModel* model_;
    ListboxView* view_;
    int lastIndex_ = -1;
    int columnCount_ = 1;
    int rowHeight_ = -1;
    int gridLines_ = 0;
    bool dragReorder_ = false;
    int changeCount_ = 0;
};
