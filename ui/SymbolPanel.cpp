// SPDX-License-Identifier: MIT
#include "SymbolPanel.h"

#include "LineEditMenu.h"
#include "NameEditor.h"
#include "NameNote.h"
#include "SymbolPalette.h"
#include "SymbolPlacement.h"

#include <QAbstractTableModel>
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>

namespace {
constexpr int Columns = 12;
constexpr int Rows = 8;
constexpr int SymbolBytes = 2;

QString text(char32_t symbol)
{
    return QString::fromUcs4(&symbol, 1);
}
} // namespace

// The symbols shown, a page or what a search found, as a grid, row by row.
class SymbolGrid final : public QAbstractTableModel
{
public:
    static constexpr int SymbolRole = Qt::UserRole;

    explicit SymbolGrid(SymbolPalette &palette, QObject *parent)
        : QAbstractTableModel(parent), m_palette(palette)
    {
    }

    void show(const QList<char32_t> &symbols)
    {
        beginResetModel();
        m_symbols = symbols;
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
            return SymbolPalette::isBlank(s) ? QString() : text(s);
        case SymbolRole:
            return uint(s);
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

namespace {
// A symbol that draws nothing (the full-width space) as a dotted box, so that its cell is
// not taken for an empty one.
class BlankCellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (!SymbolPalette::isBlank(index.data(SymbolGrid::SymbolRole).toUInt()))
            return;
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1, Qt::DotLine));
        const int inset = option.rect.height() / 4;
        painter->drawRect(option.rect.adjusted(inset, inset, -inset - 1, -inset - 1));
        painter->restore();
    }
};
} // namespace

// A window of its own that takes no grab, placed where the tool says. A Wayland client
// cannot place a window of its own, and Qt 6.4 gives a popup there no keyboard without a
// grab; so there it is a popup, which the compositor places from its position next to the
// window, and which a click elsewhere closes.
Qt::WindowFlags SymbolPanel::windowType()
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return Qt::Popup;
    return Qt::Tool | Qt::FramelessWindowHint;
}

SymbolPanel::SymbolPanel(SymbolPalette &palette, Clipboard &clipboard, QWidget *parent)
    : QFrame(parent, windowType()), m_palette(palette), m_clipboard(clipboard),
      m_model(new SymbolGrid(palette, this)), m_search(new QLineEdit(this)),
      m_pages(new QListWidget(this)), m_grid(new QTableView(this)), m_detail(new QLabel(this))
{
    setObjectName(QStringLiteral("symbolPanel"));
    setAccessibleName(tr("插入符号"));
    setWindowTitle(tr("插入符号"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAttribute(Qt::WA_WindowPropagation);

    m_search->setObjectName(QStringLiteral("symbolSearch"));
    m_search->setAccessibleName(tr("搜索符号"));
    m_search->setPlaceholderText(tr("搜索：星、竖线、圈、star、U+2605"));
    m_search->setClearButtonEnabled(true);
    m_search->installEventFilter(this);
    // As long as a copy waits for a paste: then the keys held go on without its text.
    m_pasteWait.setSingleShot(true);
    m_pasteWait.setInterval(NameEditor::PasteWaitMs);
    connect(&m_pasteWait, &QTimer::timeout, this, &SymbolPanel::pasteEnded);
    // Qt's own menu asks the clipboard what it holds, and would wait on its owner.
    m_search->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_search, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        LineEditMenu::make(m_search, [this] {
            pasteIntoSearch(Clipboard::Source::Clipboard);
        })->popup(m_search->mapToGlobal(at));
    });

    // Every page in sight, as a list beside the grid.
    m_pages->setObjectName(QStringLiteral("symbolPages"));
    m_pages->setAccessibleName(tr("符号分类"));
    m_pages->setFocusPolicy(Qt::NoFocus); // Tab turns the pages
    m_pages->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int pagesWidth = 0;
    for (const SymbolPalette::Page &page : palette.pages()) {
        m_pages->addItem(page.title);
        pagesWidth = std::max(pagesWidth, m_pages->fontMetrics().horizontalAdvance(page.title));
    }
    m_pages->setFixedWidth(pagesWidth + 12 + 2 * m_pages->frameWidth());

    // Drawn full width, as in the field: the window's fonts, larger.
    QFont symbols = font();
    symbols.setPixelSize(QFontInfo(font()).pixelSize() * 3 / 2);
    const int cell = QFontMetrics(symbols).height() + 8;
    m_grid->setObjectName(QStringLiteral("symbolGrid"));
    m_grid->setAccessibleName(tr("符号"));
    m_grid->setFont(symbols);
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new BlankCellDelegate(m_grid));
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
                         cell * Rows + 2 * m_grid->frameWidth());
    m_grid->installEventFilter(this);
    m_pages->setFixedHeight(m_grid->height());

    m_detail->setObjectName(QStringLiteral("symbolDetail"));
    m_detail->setTextFormat(Qt::PlainText);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(m_search, 0, 0, 1, 2);
    layout->addWidget(m_pages, 1, 0);
    layout->addWidget(m_grid, 1, 1);
    layout->addWidget(m_detail, 2, 0, 1, 2);

    connect(m_pages, &QListWidget::currentRowChanged, this, [this](int page) {
        if (page < 0)
            return;
        // A page chosen ends the search.
        const QSignalBlocker quiet(m_search);
        m_search->clear();
        showPage(page);
    });
    // The page shown before the search, clicked again, ends it too.
    connect(m_pages, &QListWidget::itemClicked, m_search, &QLineEdit::clear);
    connect(m_search, &QLineEdit::textChanged, this, &SymbolPanel::search);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SymbolPanel::showDetail);
    connect(m_grid, &QAbstractItemView::clicked, this, &SymbolPanel::choose);
    connect(m_grid, &QAbstractItemView::entered, this,
            [this](const QModelIndex &index) { m_grid->setCurrentIndex(index); });
    // The panel serves whichever field of the window takes the keyboard.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (isVisible() && now && now->window() == parentWidget()->window() &&
            qobject_cast<QLineEdit *>(now))
            Q_EMIT fieldFocused(now);
    });
    // Gone with the tool's focus, as a menu would be.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s != Qt::ApplicationActive && isVisible())
            close();
    });
    m_pages->setCurrentRow(0);
}

void SymbolPanel::showPage(int page)
{
    m_model->show(m_palette.pages().at(page).symbols);
    m_grid->setCurrentIndex(m_model->index(0, 0));
    m_grid->scrollToTop();
    showDetail();
}

void SymbolPanel::search(const QString &query)
{
    if (query.trimmed().isEmpty()) {
        m_pages->currentItem()->setSelected(true);
        showPage(std::max(0, m_pages->currentRow()));
        return;
    }
    // What was found is no page's.
    m_pages->clearSelection();
    m_model->show(m_palette.search(query));
    // Enter takes the best match.
    m_grid->setCurrentIndex(m_model->index(0, 0));
    m_grid->scrollToTop();
    showDetail();
}

void SymbolPanel::showDetail()
{
    const char32_t symbol = m_model->symbol(m_grid->currentIndex());
    if (!symbol) {
        m_detail->setText(m_search->text().trimmed().isEmpty() ? tr("这里还没有符号")
                                                               : tr("没有找到这样的符号"));
        return;
    }
    const QString cost =
        m_model->fits()
            ? tr("%1 字节，还可以放 %2 个").arg(SymbolBytes).arg(m_model->room() / SymbolBytes)
            : tr("%1 字节，这一组已经放不下了").arg(SymbolBytes);
    m_detail->setText(text(symbol) + u' ' + m_palette.describe(symbol) + QStringLiteral("  ") +
                      cost);
}

QRect SymbolPanel::placeFor(const QRect &field) const
{
    const QWidget *window = parentWidget()->window();
    SymbolPlacement placement;
    placement.panel = size();
    placement.field = field;
    placement.window = window->frameGeometry();
    // The list's rows: the name fields, across the window.
    for (const QLineEdit *edit : window->findChildren<QLineEdit *>()) {
        if (edit->window() != window)
            continue;
        const QRect at(edit->mapToGlobal(QPoint()), edit->size());
        placement.rows.append(
            QRect(placement.window.left(), at.top(), placement.window.width(), at.height()));
    }
    if (const NameNote *note = window->findChild<NameNote *>(); note && note->isVisible())
        placement.note = QRect(note->mapToGlobal(QPoint()), note->size());
    placement.pointer = QCursor::pos();
    const QScreen *screen = QGuiApplication::screenAt(field.center());
    placement.screen = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    placement.belowRow = windowType() == Qt::Popup;
    return placement.place();
}

void SymbolPanel::open(const QRect &field, int room)
{
    setRoom(room);
    if (isVisible()) {
        activateWindow();
        m_search->setFocus(Qt::PopupFocusReason);
        return;
    }
    {
        const QSignalBlocker quiet(m_search);
        m_search->clear();
    }
    showPage(std::max(0, m_pages->currentRow()));
    adjustSize();
    move(placeFor(field).topLeft());
    show();
    activateWindow();
    m_search->setFocus(Qt::PopupFocusReason);
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
    const char32_t symbol = m_model->symbol(index);
    if (!symbol)
        return;
    // 最近 holds what went in: a symbol refused for want of room does not.
    if (m_model->fits())
        m_palette.use(symbol);
    Q_EMIT chosen(symbol);
}

bool SymbolPanel::panelKey(QKeyEvent *key)
{
    const int pages = m_pages->count();
    switch (key->key()) {
    case Qt::Key_Tab:
        m_pages->setCurrentRow((m_pages->currentRow() + 1) % pages);
        return true;
    case Qt::Key_Backtab:
        m_pages->setCurrentRow((m_pages->currentRow() + pages - 1) % pages);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(m_grid->currentIndex());
        return true;
    case Qt::Key_Escape:
        // First the search, then the panel.
        if (!m_search->text().isEmpty())
            m_search->clear();
        else
            close();
        return true;
    default:
        return false;
    }
}

SymbolPanel::~SymbolPanel()
{
    if (m_pasteWait.isActive())
        m_clipboard.cancelRequest();
}

void SymbolPanel::pasteIntoSearch(Clipboard::Source source)
{
    const int request = ++m_pasteRequest;
    m_pasteWait.start();
    m_clipboard.requestText(source, [this, request](Clipboard::Outcome outcome, QString text) {
        // One that has waited too long, or that another paste of the window's replaced.
        if (request != m_pasteRequest || !m_pasteWait.isActive())
            return;
        m_pasteWait.stop();
        if (outcome == Clipboard::Outcome::Text && isVisible()) {
            // A query is one line.
            text.replace(u'\r', u' ').replace(u'\n', u' ');
            m_search->insert(text.trimmed());
        }
        pasteEnded();
    });
}

void SymbolPanel::pasteEnded()
{
    // A key handed on may paste again, and hold the rest anew.
    while (!m_pasteWait.isActive() && !m_heldKeys.empty()) {
        auto [target, key] = std::move(m_heldKeys.front());
        m_heldKeys.pop_front();
        if (target && isVisible())
            QCoreApplication::sendEvent(target, key.get());
    }
}

bool SymbolPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (m_pasteWait.isActive() && event->type() == QEvent::KeyPress) {
        m_heldKeys.emplace_back(
            watched, std::unique_ptr<QKeyEvent>(static_cast<QKeyEvent *>(event)->clone()));
        return true;
    }
    if (watched == m_search && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::MiddleButton) {
        pasteIntoSearch(Clipboard::Source::Selection);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (panelKey(key))
        return true;
    if (watched == m_search && key->matches(QKeySequence::Paste)) {
        pasteIntoSearch(Clipboard::Source::Clipboard);
        return true;
    }
    if (watched == m_search) {
        // The arrows move in the grid while the search has the keyboard.
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_grid, key);
            return true;
        default:
            break;
        }
    } else if (watched == m_grid && !key->text().isEmpty() && key->text().at(0).isPrint() &&
               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Typing goes to the search, wherever the keyboard is in the panel.
        m_search->setFocus(Qt::OtherFocusReason);
        QCoreApplication::sendEvent(m_search, key);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void SymbolPanel::hideEvent(QHideEvent *event)
{
    QFrame::hideEvent(event);
    m_heldKeys.clear();
    QAccessibleEvent closed(this, QAccessible::PopupMenuEnd);
    QAccessible::updateAccessibility(&closed);
    // The keyboard goes back to the window, and there to the field.
    if (QWidget *window = parentWidget()->window(); window->isVisible())
        window->activateWindow();
    Q_EMIT this->closed();
}
