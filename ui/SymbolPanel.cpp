// SPDX-License-Identifier: MIT
#include "SymbolPanel.h"

#include "SymbolPalette.h"

#include <QAbstractTableModel>
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int Columns = 12;
constexpr int SymbolBytes = 2;

QString text(char32_t symbol)
{
    return QString::fromUcs4(&symbol, 1);
}
} // namespace

// One page of symbols as a grid, row by row.
class SymbolGrid final : public QAbstractTableModel
{
public:
    explicit SymbolGrid(SymbolPalette &palette, QObject *parent)
        : QAbstractTableModel(parent), m_palette(palette)
    {
    }

    void showPage(int page)
    {
        beginResetModel();
        m_symbols = m_palette.pages().at(page).symbols;
        endResetModel();
    }
    void setRoom(int room)
    {
        m_room = room;
        if (!m_symbols.isEmpty())
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, Columns - 1));
    }
    int room() const { return m_room; }
    bool fits() const { return m_room >= SymbolBytes; }
    char32_t symbol(const QModelIndex &index) const
    {
        const qsizetype at = qsizetype(index.row()) * Columns + index.column();
        return index.isValid() && at < m_symbols.size() ? m_symbols[at] : 0;
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int((m_symbols.size() + Columns - 1) / Columns);
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : Columns;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return symbol(index) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        const char32_t s = symbol(index);
        if (!s)
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return text(s);
        case Qt::AccessibleTextRole:
        case Qt::ToolTipRole:
            return fits() ? m_palette.describe(s)
                          : m_palette.describe(s) + QStringLiteral(u"，放不下");
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        case Qt::ForegroundRole:
            // Shown, not hidden, when the name has no room for it.
            return fits() ? QVariant()
                          : QVariant(
                                QApplication::palette().color(QPalette::Disabled, QPalette::Text));
        default:
            return {};
        }
    }

private:
    SymbolPalette &m_palette;
    QList<char32_t> m_symbols;
    int m_room = 0;
};

SymbolPanel::SymbolPanel(SymbolPalette &palette, QWidget *parent)
    : QFrame(parent, Qt::Popup), m_palette(palette), m_model(new SymbolGrid(palette, this)),
      m_pages(new QTabBar(this)), m_grid(new QTableView(this)), m_detail(new QLabel(this))
{
    setObjectName(QStringLiteral("symbolPanel"));
    setAccessibleName(tr("插入符号"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAttribute(Qt::WA_WindowPropagation);

    m_pages->setObjectName(QStringLiteral("symbolPages"));
    m_pages->setFocusPolicy(Qt::NoFocus); // Tab in the grid turns the pages
    m_pages->setExpanding(false);
    m_pages->setUsesScrollButtons(true);
    for (const SymbolPalette::Page &page : palette.pages())
        m_pages->addTab(page.title);

    // Drawn full width, as in the field: the window's fonts, larger.
    QFont symbols = font();
    symbols.setPixelSize(QFontInfo(font()).pixelSize() * 3 / 2);
    const int cell = QFontMetrics(symbols).height() + 8;
    m_grid->setObjectName(QStringLiteral("symbolGrid"));
    m_grid->setAccessibleName(tr("符号"));
    m_grid->setFont(symbols);
    m_grid->setModel(m_model);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setTabKeyNavigation(false);
    m_grid->setMouseTracking(true);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->horizontalHeader()->setDefaultSectionSize(cell);
    m_grid->verticalHeader()->setDefaultSectionSize(cell);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_grid->setFixedSize(cell * Columns + m_grid->verticalScrollBar()->sizeHint().width() +
                             2 * m_grid->frameWidth(),
                         cell * 8 + 2 * m_grid->frameWidth());
    m_grid->installEventFilter(this);

    m_detail->setObjectName(QStringLiteral("symbolDetail"));
    m_detail->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_pages);
    layout->addWidget(m_grid);
    layout->addWidget(m_detail);

    connect(m_pages, &QTabBar::currentChanged, this, &SymbolPanel::showPage);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SymbolPanel::showDetail);
    connect(m_grid, &QAbstractItemView::clicked, this, &SymbolPanel::choose);
    connect(m_grid, &QAbstractItemView::entered, this,
            [this](const QModelIndex &index) { m_grid->setCurrentIndex(index); });
    showPage(0);
}

void SymbolPanel::showPage(int page)
{
    m_model->showPage(page);
    m_grid->setCurrentIndex(m_model->index(0, 0));
    m_grid->scrollToTop();
    showDetail();
}

void SymbolPanel::showDetail()
{
    const char32_t symbol = m_model->symbol(m_grid->currentIndex());
    if (!symbol) {
        m_detail->clear();
        return;
    }
    const QString cost =
        m_model->fits()
            ? tr("%1 字节，还可以放 %2 个").arg(SymbolBytes).arg(m_model->room() / SymbolBytes)
            : tr("%1 字节，这一组已经放不下了").arg(SymbolBytes);
    m_detail->setText(text(symbol) + QStringLiteral("  ") + m_palette.describe(symbol) +
                      QStringLiteral("  ") + cost);
}

void SymbolPanel::open(const QRect &field, int room)
{
    setRoom(room);
    showPage(m_pages->currentIndex());
    adjustSize();
    // Beside the field, from its lower edge, where the screen has room, else below or above
    // it; never where the pointer is, so that the next click is the user's own. From the
    // lower edge, because a Wayland compositor flips a popup that does not fit on its own
    // (Qt 6.4 anchors it at its corner): flipped left, it still leaves the field's row free.
    const QRect screen =
        (QGuiApplication::screenAt(field.center()) ? QGuiApplication::screenAt(field.center())
                                                   : QGuiApplication::primaryScreen())
            ->availableGeometry();
    const QPoint pointer = QCursor::pos();
    const QList<QPoint> places{
        field.bottomRight() + QPoint(8, 2), field.bottomLeft() + QPoint(0, 4),
        field.topLeft() - QPoint(0, height() + 4), field.topLeft() - QPoint(width() + 8, 0)};
    QRect place(places.first(), size());
    for (const QPoint &corner : places) {
        const QRect candidate(corner, size());
        if (screen.contains(candidate) && !candidate.contains(pointer)) {
            place = candidate;
            break;
        }
    }
    move(place.topLeft());
    show();
    m_grid->setFocus(Qt::PopupFocusReason);
    QAccessibleEvent opened(this, QAccessible::PopupMenuStart);
    QAccessible::updateAccessibility(&opened);
}

void SymbolPanel::setRoom(int room)
{
    m_model->setRoom(room);
    showDetail();
}

void SymbolPanel::choose(const QModelIndex &index)
{
    if (const char32_t symbol = m_model->symbol(index))
        Q_EMIT chosen(symbol);
}

bool SymbolPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int pages = m_pages->count();
        switch (key->key()) {
        case Qt::Key_Tab:
            m_pages->setCurrentIndex((m_pages->currentIndex() + 1) % pages);
            return true;
        case Qt::Key_Backtab:
            m_pages->setCurrentIndex((m_pages->currentIndex() + pages - 1) % pages);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose(m_grid->currentIndex());
            return true;
        case Qt::Key_Escape:
            close();
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SymbolPanel::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    QAccessibleEvent closed(this, QAccessible::PopupMenuEnd);
    QAccessible::updateAccessibility(&closed);
    Q_EMIT this->closed();
}
