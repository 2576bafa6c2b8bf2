#include "app/ui/registerpage.h"

#include "storage/database.h"
#include "storage/registersetting.h"
#include "storage/serverconnection.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orlu {

using namespace Qt::StringLiterals;

RegisterPage::RegisterPage(ProgramFolder folder, QWidget *parent)
    : QWidget(parent)
    , m_folder(std::move(folder)) {
    setObjectName(u"registerPage"_s);
    QString error;
    m_stored = storedRegisterConnection(m_folder, &error);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(24, 24, 24, 24);
    grid->setVerticalSpacing(14);
    grid->addWidget(new QLabel(u"数据库服务器:"_s, this), 0, 0);
    m_connection = new QLineEdit(m_stored, this);
    m_connection->setObjectName(u"registerConnectionEdit"_s);
    m_connection->setPlaceholderText(u"postgresql://服务器/数据库  或  service=名称"_s);
    grid->addWidget(m_connection, 0, 1);
    auto *test = new QPushButton(u"测试连接"_s, this);
    test->setObjectName(u"testConnectionButton"_s);
    connect(test, &QPushButton::clicked, this, &RegisterPage::testClicked);
    grid->addWidget(test, 0, 2);

    auto *note = new QLabel(u"多台工作站共用一个数据库时填写；留空则使用本机的数据库文件。\n"
                            "密码不存放在本程序的文件中：请使用服务器的密码文件 (.pgpass) 或服务文件 "
                            "(pg_service.conf)。\n更改后于下次启动本程序时生效。"_s,
                            this);
    note->setObjectName(u"registerNoteLabel"_s);
    grid->addWidget(note, 1, 1, 1, 2);
    m_status = new QLabel(this);
    m_status->setObjectName(u"registerStatusLabel"_s);
    m_status->setWordWrap(true);
    grid->addWidget(m_status, 2, 1, 1, 2);
    if (!error.isEmpty())
        m_status->setText(error);
    else if (!qEnvironmentVariableIsEmpty("ORLU_DATABASE"))
        m_status->setText(u"现由环境变量 ORLU_DATABASE 指定: "_s + qEnvironmentVariable("ORLU_DATABASE"));
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
}

bool RegisterPage::changed() const {
    return m_connection->text().trimmed() != m_stored;
}

bool RegisterPage::store(QString *error) {
    if (!changed())
        return true;
    if (!storeRegisterConnection(m_folder, m_connection->text(), error))
        return false;
    m_stored = m_connection->text().trimmed();
    return true;
}

void RegisterPage::testClicked() {
    const QString connection = m_connection->text().trimmed();
    if (connection.isEmpty()) {
        m_status->setText(u"使用本机的数据库文件。"_s);
        return;
    }
    Database db;
    QString error;
    if (db.openServer(connection, &error))
        m_status->setText(u"连接成功: "_s + db.path());
    else
        m_status->setText(u"无法连接数据库服务器。服务器的回答: "_s + error.simplified());
}

} // namespace orlu
