#include "MenuTable.h"

namespace {
QString u(const char *text)
{
    return QString::fromUtf8(text);
}
} // namespace

const QList<MenuDef> &mainMenus()
{
    static const QList<MenuDef> menus {
        { u("CardOperate"), u("卡片操作"),
            {
                { u("EncodeCard_Menu"), u("发行卡"), {}, {} },
                { u("ReadCard_Menu"), u("读卡"), QKeySequence(Qt::Key_F4), {} },
                // F5 cancels a card and nothing else.
                { u("ClearCard_Menu"), u("注销卡"), QKeySequence(Qt::Key_F5), {} },
                { u("ReadDataCard_Menu"), u("读采集卡/器"), {}, u("DataCard") },
                { u("CheckIn_Menu"), u("开房"), QKeySequence(Qt::Key_F1), u("CheckIn"), true },
                { u("ClockRoom_Menu"), u("钟点房"), {}, u("CheckIn") },
                { u("ModifyGuestCard_Menu"), u("续房"), QKeySequence(Qt::Key_F2), {} },
                { u("CheckOut_Menu"), u("退房"), QKeySequence(Qt::Key_F3), u("CheckOut") },
            } },
        { u("N3"), u("记录查询"),
            {
                { u("CheckOpenRecord_Menu"), u("查询开门记录"), {}, {} },
                { u("CheckMakeCardRecord_Menu"), u("查询发卡记录"), {}, {} },
                { u("CheckRoomStatus_Menu"), u("客房状态查询"), {}, {} },
            } },
        { u("N5"), u("操作员管理"),
            {
                { u("OperatorManage_Menu"), u("操作员权限管理"), {}, u("OperatorManage") },
                { u("ChangePass_Menu"), u("修改口令"), {}, {} },
            } },
        { u("N13"), u("系统设置"),
            {
                { u("SystemSetting_Menu"), u("基本参数设置"), {}, u("SystemInfo") },
                { u("RoomType_Menu"), u("客房类型"), {}, u("RoomType") },
                { u("RoomSetting_Menu"), u("房间设置"), {}, u("RoomInfo") },
                { u("DistrictSetting_Menu"), u("区域设置"), {}, u("DistrictInfo") },
                { u("N39"), u("数据备份"), {}, {}, true },
                { u("N40"), u("数据恢复"), {}, {} },
            } },
        { u("N14"), u("帮助"),
            {
                { u("N35"), u("关于"), {}, {} },
                { u("OprManual_Menu"), u("操作说明"), {}, {} },
                { u("FAQ_Menu"), u("常见故障分析"), {}, {} },
            } },
    };
    return menus;
}

const QList<ToolButtonDef> &mainToolButtons()
{
    static const QList<ToolButtonDef> buttons {
        { u("CheckIn_SB"), u("开房[F1]"), u("CheckIn_Menu"), u("CheckIn") },
        { u("GuestContinueIn2_SpeedButton"), u("续房[F2]"), u("ModifyGuestCard_Menu"), {} },
        { u("CheckOut2_SB"), u("退房[F3]"), u("CheckOut_Menu"), u("CheckOut") },
        { u("ReadCard2_SpeedButton"), u("读卡[F4]"), u("ReadCard_Menu"), {} },
        { u("ClearCard2_SpeedButton"), u("注销卡[F5]"), u("ClearCard_Menu"), {} },
        { u("QuitSystem_SpeedBt"), u("退出"), {}, {} },
    };
    return buttons;
}

bool isBuiltInEntry(const QString &name)
{
    return name == QLatin1String("N39") || name == QLatin1String("N40") || name == QLatin1String("OprManual_Menu")
        || name == QLatin1String("FAQ_Menu");
}
