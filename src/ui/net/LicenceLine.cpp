#include "net/LicenceLine.h"

#include "licence/FccIndexLoader.h"
#include "licence/LicenceInfo.h"
#include "net/QuickCallBox.h"
#include "net/SelectedCallBox.h"

namespace {
std::optional<LicenceInfo> licenceOf(const FccIndexLoader& loader, const QString& call, bool* loaded)
{
    const auto index = loader.state() == FccIndexLoader::State::Ready ? loader.index() : nullptr;
    *loaded = index != nullptr;
    if (!index)
        return std::nullopt;
    const QByteArray key = call.trimmed().toUpper().toLatin1();
    return index->licence(std::string_view(key.constData(), std::size_t(key.size())));
}
} // namespace

std::pair<QString, bool> licenceLine(const FccIndexLoader& loader, const QString& call)
{
    bool loaded = false;
    const std::optional<LicenceInfo> info = licenceOf(loader, call, &loaded);
    const LicenceLabel label = NetLicenceText(info, loaded);
    return { QString::fromStdString(label.text), label.red };
}

QString licenceMark(const FccIndexLoader& loader, const QString& call)
{
    bool loaded = false;
    const std::optional<LicenceInfo> info = licenceOf(loader, call, &loaded);
    if (!info)
        return QString();
    const SuggestionMark mark = LicenceSuggestionMark(*info);
    QString text = mark.classLetter ? QStringLiteral("(%1)").arg(QLatin1Char(mark.classLetter)) : QString();
    if (mark.lapsed)
        text += (text.isEmpty() ? QString() : QStringLiteral(" "))
            + QString::fromStdString(LicenceStatusName(info->status)).toUpper();
    return text;
}

void showLicences(const FccIndexLoader& loader, SelectedCallBox& selected, QuickCallBox& quick)
{
    auto line = [&loader](const QString& call) { return licenceLine(loader, call); };
    selected.setLicenceText(line);
    quick.setLicenceMark([&loader](const QString& call) { return licenceMark(loader, call); });
    QObject::connect(
        &loader, &FccIndexLoader::finished, &selected,
        [&selected, &quick, line] {
            quick.showSuggestions();
            selected.setLicenceText(line);
        },
        Qt::QueuedConnection);
}
