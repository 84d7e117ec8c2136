#include "shell/record_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringListModel>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "records/number_text.h"
#include "records/text_fields.h"
#include "shell/dialogs.h"
#include "shell/form_layout.h"
#include "shell/latin1.h"
#include "shell/name_lookups.h"

namespace gw {

namespace {
// What a combo box showed at the last show, to tell an untouched box from a typed-over one;
// on a check box, the stored value it could not show.
constexpr const char* kShownText = "gwShownText";

QString labelOf(const Binding& b, const QWidget* control, int element) {
    if (b.label) return QString::fromLatin1(b.label);
    return shownLabel(control, b.count > 1 ? element : -1);
}

QString rangeRefusal(const QString& label, const QString& text, std::int64_t min,
                     std::int64_t max) {
    return QStringLiteral(
               "%1: \"%2\" is not a whole number from %3 to %4; the stored value is "
               "kept.")
        .arg(label, text, QString::number(min), QString::number(max));
}

// A stored integer as its field's bytes read without sign (-1 in 2 bytes -> 65535).
std::int64_t asUnsigned(const FieldInfo& field, std::int64_t value) {
    if (value >= 0 || field.width >= 8) return value;
    return value + (std::int64_t{1} << (8 * field.width));
}

// A number box's decimal value; nothing when the text is not a number.
std::optional<double> decimalValue(const QString& text) {
    if (!parseRounded(toGame(text))) return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}
// What the operator can change of a control, as one comparable text.
QString controlState(const QWidget* w) {
    if (auto* line = qobject_cast<const QLineEdit*>(w)) return line->text();
    if (auto* combo = qobject_cast<const QComboBox*>(w))
        return QString::number(combo->currentIndex()) + QChar(0x1f) + combo->currentText();
    if (auto* box = qobject_cast<const QCheckBox*>(w)) return QString::number(box->checkState());
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(w)) return plain->toPlainText();
    throw std::logic_error("no edit state for control " + w->objectName().toStdString());
}
}  // namespace

QString fieldElementName(const FieldElement& e) {
    const QString name =
        QString::fromLatin1(e.field->name.data(), static_cast<qsizetype>(e.field->name.size()));
    return e.field->count > 1 ? name + QStringLiteral("(%1)").arg(e.element) : name;
}

QString controlName(const char* base, int index) {
    return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(index);
}

void showName(QLineEdit* box, const QString& name) {
    showFromStart(box, name.left(name.indexOf(QChar(0))));
}

QAbstractItemModel* sharedListModel(std::span<const std::string_view> items) {
    static QMap<const void*, QPointer<QStringListModel>> models;
    auto& model = models[items.data()];
    if (!model) {
        QStringList names;
        names.reserve(static_cast<qsizetype>(items.size()));
        for (auto name : items) names << fromGame(name);
        // Lives as long as the application: combo boxes of every window share it.
        model = new QStringListModel(names, QCoreApplication::instance());
    }
    return model;
}

RecordForm::RecordForm(QWidget* root, const RecordType& type, std::span<const Binding> bindings,
                       World* world)
    : type_(type), root_(root), recordSize_(type.recordSize()), world_(world) {
    for (const Binding& b : bindings) {
        const FieldInfo* field = type.field(b.field);
        if (!field || b.first + b.count > field->count)
            throw std::logic_error(std::string("no field ") + b.field + " in " +
                                   std::string(type.name()));
        for (int i = 0; i < b.count; ++i) slots_.push_back({&b, field, b.first + i, nullptr});
    }
    bool deferred = false;
    for (const DeferredPage* page : root->findChildren<DeferredPage*>())
        deferred = deferred || !page->built();
    const ControlsByName named = controlsUnder(root);
    for (Slot& s : slots_) {
        // A control not made yet may be on a deferred page; with none, the window is wrong.
        if (!bind(s, named) && !deferred)
            throw std::logic_error("no control " + std::string(s.binding->control));
    }
}

RecordForm::ControlsByName RecordForm::controlsUnder(QWidget* root) {
    // One walk over the widgets instead of one search of the tree per control.
    ControlsByName named;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (const QString name = w->objectName(); !name.isEmpty() && !named.contains(name))
            named.insert(name, w);
    return named;
}

bool RecordForm::bind(Slot& s, const ControlsByName& named) {
    const Binding& b = *s.binding;
    const int index = b.count > 1 ? s.element - b.first : -1;
    auto nameOf = [index](const char* base) {
        return index >= 0 ? controlName(base, index) : QString::fromLatin1(base);
    };
    QWidget* w = named.value(nameOf(b.control));
    if (!w) return false;
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !b.items.empty()) {
        // Setting a model rebuilds the box's popup and completer: only when it differs.
        if (QAbstractItemModel* model = sharedListModel(b.items); combo->model() != model)
            combo->setModel(model);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    if (b.relativeTo) {
        // The relative box sits beside this one, on the same page.
        s.relative = qobject_cast<QLineEdit*>(named.value(nameOf(b.relativeTo)));
        if (!s.relative) throw std::logic_error("no control " + nameOf(b.relativeTo).toStdString());
    }
    if (b.nameBox) {
        if (!b.lookup || !world_) throw std::logic_error(std::string("no lookup for ") + b.nameBox);
        s.name = qobject_cast<QLineEdit*>(named.value(nameOf(b.nameBox)));
        if (!s.name) throw std::logic_error("no control " + nameOf(b.nameBox).toStdString());
        if (auto* number = qobject_cast<QLineEdit*>(w))
            nameFollowsTyping(number, s.name, *world_, b.lookup);
    }
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        if (b.conversion == Conversion::Number) {
            const auto [min, max] = ownedRange(s);
            fitNumberBox(line, min + b.offset, max + b.offset);
        } else if (b.conversion == Conversion::UnsignedNumber) {
            fitNumberBox(line, 0, asUnsigned(*s.field, -1));
        }
    }
    s.widget = w;
    if (!b.showOnly) {
        s.tracked = tracked_.size();
        tracked_.push_back({w, s.relative, {s.field, s.element}, {}, false});
    }
    return true;
}

void RecordForm::adopt(QWidget* page) {
    const ControlsByName named = controlsUnder(page);
    for (Slot& s : slots_) {
        if (!s.widget && bind(s, named) && !shown_.empty()) showSlot(s, shown_.data());
    }
    // Once every page is made, a control still missing is a bug in the window.
    for (const DeferredPage* other : root_->findChildren<DeferredPage*>())
        if (!other->built()) return;
    for (const Slot& s : slots_)
        if (!s.widget) throw std::logic_error("no control " + std::string(s.binding->control));
}

void RecordForm::watch(QWidget* control, const char* field) {
    const FieldInfo* info = type_.field(field);
    if (!info) throw std::logic_error(std::string("no field ") + field);
    for (int i = 0; i < info->count; ++i)
        tracked_.push_back({control, nullptr, {info, i}, {}, false});
}

void RecordForm::markShown(const QWidget* under) {
    for (Tracked& t : tracked_) {
        if (under && !under->isAncestorOf(t.widget)) continue;
        t.shownState = controlState(t.widget);
        t.marked = true;
    }
}

bool RecordForm::isEdited(const Tracked& t) const {
    return t.marked && controlState(t.widget) != t.shownState;
}

bool RecordForm::hasEdits() const {
    return std::any_of(tracked_.begin(), tracked_.end(),
                       [this](const Tracked& t) { return isEdited(t); });
}

std::vector<FieldElement> RecordForm::editedFields() const {
    QHash<const QWidget*, bool> changed;
    for (const Tracked& t : tracked_)
        if (!changed.value(t.widget)) changed.insert(t.widget, isEdited(t));
    std::vector<FieldElement> edited;
    for (const Tracked& t : tracked_) {
        // A figure shown relative to another box changes with that box too.
        if (!changed.value(t.widget) && !(t.relative && changed.value(t.relative))) continue;
        if (std::find(edited.begin(), edited.end(), t.target) == edited.end())
            edited.push_back(t.target);
    }
    return edited;
}

std::int64_t RecordForm::ownedValue(const Slot& s, const void* record) {
    const std::int64_t stored = getInt(record, *s.field, s.element);
    return s.binding->lowBits ? stored & ((std::int64_t{1} << s.binding->lowBits) - 1) : stored;
}

std::pair<std::int64_t, std::int64_t> RecordForm::ownedRange(const Slot& s) {
    if (s.binding->lowBits) return {0, (std::int64_t{1} << s.binding->lowBits) - 1};
    return {s.field->minValue(), s.field->maxValue()};
}

void RecordForm::storeOwned(const Slot& s, void* record, std::int64_t value) {
    if (s.binding->lowBits) {
        const std::int64_t mask = (std::int64_t{1} << s.binding->lowBits) - 1;
        value = (getInt(record, *s.field, s.element) & ~mask) | (value & mask);
    }
    setInt(record, *s.field, s.element, value);
}

void RecordForm::show(const void* record) {
    const auto* bytes = static_cast<const unsigned char*>(record);
    shown_.assign(bytes, bytes + recordSize_);
    for (const Slot& s : slots_)
        if (s.widget) showSlot(s, record);
}

void RecordForm::repair(void* record) const {
    for (const Slot& s : slots_) {
        const Binding& b = *s.binding;
        if (b.showOnly) continue;
        if (b.conversion == Conversion::ListIndex && b.unlistedShowsAs >= 0 && !b.items.empty()) {
            const std::int64_t value = ownedValue(s, record);
            if (value < 0 || value >= static_cast<std::int64_t>(b.items.size()))
                storeOwned(s, record, b.unlistedShowsAs);
        } else if (b.conversion == Conversion::Flag) {
            if (const std::int64_t value = getInt(record, *s.field, s.element);
                value != 1 && value != 0)
                setInt(record, *s.field, s.element, 0);
        }
    }
}

void RecordForm::showSlot(const Slot& s, const void* record) {
    const Binding& b = *s.binding;
    if (s.name) showName(s.name, b.lookup(*world_, getInt(record, *s.field, s.element)));
    switch (b.conversion) {
        case Conversion::Number: {
            std::int64_t shown = ownedValue(s, record) + b.offset;
            if (s.relative) {
                // The relative box shows its own field, bound earlier in the table.
                for (const Slot& other : slots_)
                    if (other.widget == s.relative)
                        shown +=
                            getInt(record, *other.field, other.element) + other.binding->offset;
            }
            showFromStart(static_cast<QLineEdit*>(s.widget), QString::number(shown));
            break;
        }
        case Conversion::UnsignedNumber:
            showFromStart(
                static_cast<QLineEdit*>(s.widget),
                QString::number(asUnsigned(*s.field, getInt(record, *s.field, s.element))));
            break;
        case Conversion::ZeroEndedText:
        case Conversion::TrimmedZeroEnded:
        case Conversion::BlankFilledText:
            showFromStart(static_cast<QLineEdit*>(s.widget),
                          fromGame(shownText(getText(record, *s.field, s.element))));
            break;
        case Conversion::ListIndex: {
            auto* combo = static_cast<QComboBox*>(s.widget);
            const std::int64_t value = ownedValue(s, record);
            if (value >= 0 && value < combo->count()) {
                combo->setCurrentIndex(static_cast<int>(value));
            } else if (b.unlistedShowsAs >= 0) {
                combo->setCurrentIndex(b.unlistedShowsAs);
            } else {
                // A value the list cannot show is shown as its number and kept on save.
                combo->setCurrentIndex(-1);
                if (combo->isEditable()) combo->setEditText(QString::number(value));
            }
            combo->setProperty(kShownText, combo->currentText());
            break;
        }
        case Conversion::CheckState: {
            const std::int64_t value = getInt(record, *s.field, s.element);
            auto* box = static_cast<QCheckBox*>(s.widget);
            box->setCheckState(value == 0   ? Qt::Unchecked
                               : value == 1 ? Qt::Checked
                                            : Qt::PartiallyChecked);
            // A value the box cannot show is shown grey and kept for as long as the box stays grey.
            box->setProperty(kShownText, value > 2 || value < 0
                                             ? QVariant(static_cast<qlonglong>(value))
                                             : QVariant());
            break;
        }
        case Conversion::Flag:
            static_cast<QCheckBox*>(s.widget)->setChecked(getInt(record, *s.field, s.element) == 1);
            break;
    }
}

QStringList RecordForm::collect(void* record) const {
    QStringList refusals;
    for (const Slot& s : slots_)
        if (s.widget && !s.binding->showOnly) collectSlot(s, record, refusals);
    return refusals;
}

bool RecordForm::collectSlot(const Slot& s, void* record, QStringList& refusals) const {
    const Binding& b = *s.binding;
    // Worked out only for a refusal: it walks the window's layouts.
    const auto label = [&] { return labelOf(b, s.widget, s.element - b.first); };
    const auto [min, max] = ownedRange(s);
    switch (b.conversion) {
        case Conversion::Number: {
            const QString text = static_cast<QLineEdit*>(s.widget)->text();
            std::optional<std::int64_t> value;
            if (!s.relative && b.offset == 0) {
                value = parseInRange(toGame(text), min, max);
            } else {
                // A shown figure that depends on others: computed on the decimal values of the
                // texts, then rounded (nearbyint rounds halves to even).
                auto shown = decimalValue(text);
                auto base = s.relative ? decimalValue(s.relative->text()) : std::optional(0.0);
                if (shown && base) {
                    const double v = std::nearbyint(*shown - b.offset - *base);
                    if (v >= static_cast<double>(min) && v <= static_cast<double>(max))
                        value = static_cast<std::int64_t>(v);
                }
            }
            if (!value) {
                refusals << rangeRefusal(label(), text, min + b.offset, max + b.offset);
                return false;
            }
            storeOwned(s, record, *value);
            return true;
        }
        case Conversion::UnsignedNumber: {
            const QString text = static_cast<QLineEdit*>(s.widget)->text();
            const std::int64_t top = asUnsigned(*s.field, -1);
            const auto value = parseInRange(toGame(text), 0, top);
            if (!value) {
                refusals << rangeRefusal(label(), text, 0, top);
                return false;
            }
            // The same bytes as the signed field holds them.
            setInt(record, *s.field, s.element, *value > max ? *value - top - 1 : *value);
            return true;
        }
        case Conversion::ZeroEndedText:
        case Conversion::TrimmedZeroEnded:
        case Conversion::BlankFilledText: {
            const std::string typed = toGame(static_cast<QLineEdit*>(s.widget)->text());
            const std::size_t width = s.field->width;
            setText(record, *s.field, s.element,
                    b.conversion == Conversion::ZeroEndedText      ? zeroEnded(typed, width)
                    : b.conversion == Conversion::TrimmedZeroEnded ? trimmedZeroEnded(typed, width)
                                                                   : blankFilled(typed, width));
            return true;
        }
        case Conversion::ListIndex: {
            auto* combo = static_cast<QComboBox*>(s.widget);
            const QString text = combo->currentText();
            int index = combo->currentIndex();
            if (index < 0 || combo->itemText(index) != text) {
                if (text == combo->property(kShownText).toString()) return true;  // untouched
                index = combo->findText(text, Qt::MatchFixedString);
            }
            if (index < 0 || index > max) {
                refusals << QStringLiteral(
                                "%1: \"%2\" is not an entry of the list; the stored "
                                "value is kept.")
                                .arg(label(), text);
                return false;
            }
            storeOwned(s, record, index);
            return true;
        }
        case Conversion::CheckState: {
            const auto* box = static_cast<QCheckBox*>(s.widget);
            const auto state = box->checkState();
            if (state == Qt::PartiallyChecked && box->property(kShownText).isValid()) return true;
            setInt(record, *s.field, s.element,
                   state == Qt::Checked            ? 1
                   : state == Qt::PartiallyChecked ? 2
                                                   : 0);
            return true;
        }
        case Conversion::Flag:
            setInt(record, *s.field, s.element,
                   static_cast<QCheckBox*>(s.widget)->isChecked() ? 1 : 0);
            return true;
    }
    return true;
}

void reportRefusals(Dialogs& dialogs, const QStringList& refusals) {
    if (!refusals.isEmpty()) dialogs.message(refusals.join(QLatin1Char('\n')));
}

}  // namespace gw
