#include "HostChecks.h"

#include "OperationView.h"
#include "platform/HostQuestions.h"

#include <QStringList>
#include <cstdlib>

namespace
{

const QString LineBreak = QStringLiteral("\r\n");

// The first line asks for the rights; the two after it say how to get them on the host.
QString cautionText(bool japanese, RightsHowTo howTo)
{
    const bool windows = howTo == RightsHowTo::RunAsAdministrator;
    if (japanese)
        return QStringList{
            QStringLiteral("このアプリケーションは管理者権限で実行してください。"),
            windows ? QStringLiteral("(Windows10での実行方法例)") : QStringLiteral("(Linuxでの実行方法例)"),
            windows ? QStringLiteral(" Pelmora2.exeを実行時にマウス右クリック「管理者として実行」")
                    : QStringLiteral(
                          " 自分をグループpelmora2に追加(インストール済みパッケージ)、またはrootで実行")}
            .join(LineBreak);
    return QStringList{QStringLiteral("You need to run this program as an administrator."),
                       windows ? QStringLiteral("for example (Windows10),")
                               : QStringLiteral("for example (Linux),"),
                       windows ? QStringLiteral("Right-click context menu 'Run as administrator'")
                               : QStringLiteral("add yourself to the group pelmora2 (installed package), "
                                                "or run as root")}
        .join(LineBreak);
}

QString noNetworkText(bool japanese)
{
    if (japanese)
        return QStringList{QStringLiteral("設定したいIPアドレスのネットワーク環境が見つかりませんでした。"),
                           QStringLiteral("LAN設定またはIPアドレスをチェックしてください。"),
                           QStringLiteral("操作を中止します。")}
            .join(LineBreak);
    return QStringLiteral("The network environment of the IP address you want to set was not found. ") +
           QStringLiteral("Please check your LAN settings or IP address.");
}

void exitAtOnce()
{
    std::_Exit(EXIT_FAILURE);
}

} // namespace

HostChecks::HostChecks(HostQuestions &host, MessageBoxes &boxes, std::function<void()> endProgram,
                       RightsHowTo howTo)
    : m_host(host), m_boxes(boxes), m_endProgram(endProgram ? std::move(endProgram) : exitAtOnce),
      m_howTo(howTo)
{
}

std::optional<bool> HostChecks::versionIs6OrLaterOrEnd()
{
    const std::optional<int> major = m_host.majorVersion();
    if (!major) {
        m_boxes.showMessageBox(QStringLiteral("Cannot get Windows Version"), QStringLiteral("Pelmora2"),
                               BoxIcon::None);
        m_endProgram();
        return std::nullopt;
    }
    return *major >= 6;
}

bool HostChecks::IsWinVer6OrLater()
{
    return versionIs6OrLaterOrEnd().value_or(false);
}

QString HostChecks::GetLocaleCurrency()
{
    return QString::fromStdString(m_host.currencySymbol());
}

bool HostChecks::isJapaneseHost()
{
    return GetLocaleCurrency() == QStringLiteral("\\");
}

bool HostChecks::CheckAdminRights()
{
    const bool administrator = m_host.isAdministrator();
    const std::optional<bool> newerHost = versionIs6OrLaterOrEnd();
    if (!newerHost)
        return false;
    if (*newerHost && !administrator) {
        m_boxes.showMessageBox(cautionText(isJapaneseHost(), m_howTo), QStringLiteral("Caution"),
                               BoxIcon::Exclamation);
        m_endProgram();
        return false;
    }
    return true;
}

bool HostChecks::IsRefusedUnitAddress(const QString &hostIp)
{
    std::uint32_t ip = 0;
    return !ParseDottedAddress(hostIp.toLatin1().constData(), ip) ||
           NeighbourRefusal(ip, m_host.neighbourHost()) != nullptr;
}

QString HostChecks::noNetworkText()
{
    return ::noNetworkText(isJapaneseHost());
}

void HostChecks::ShowNoNetworkMsg()
{
    m_boxes.showMessageBox(noNetworkText(), QStringLiteral("Error"), BoxIcon::Exclamation);
}
