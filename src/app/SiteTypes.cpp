#include "app/SiteTypes.h"

#include "base/TextUtil.h"
#include "db/Recordset.h"

namespace tarnwick {

void LoadSiteTypes(Session &session, SiteTypeBoxes &boxes) {
    if (!session.ParkConnection)
        return;
    try {
        session.SqlText = "SELECT * FROM ParkInfo ";
        Recordset rs;
        rs.Open(session.SqlText, *session.ParkConnection, adOpenForwardOnly, adLockReadOnly);
        for (int i = 1; i <= 10 && !rs.Eof(); ++i) {
            try {
                Value v = rs.Fields("SiteType" + std::to_string(i)).GetValue();
                if (!v.isNull() && !v.toString().empty() && v.toString() != "None")
                    boxes[i] = v.toString();
            } catch (const DbError &) {
            }
        }
    } catch (const DbError &) {
    }
}

void RebuildSiteTypeNames(Session &session, const SiteTypeBoxes &boxes) {
    session.SiteTypeCount = 0;
    for (int i = 1; i <= 10; ++i)
        if (!TrimBlanks(boxes[i]).empty()) {
            session.SiteTypeNames[i] = boxes[i];
            ++session.SiteTypeCount;
        }
}

void SaveSiteTypes(Session &session, const SiteTypeBoxes &boxes) {
    RebuildSiteTypeNames(session, boxes);
    if (!session.ParkConnection)
        return;
    try {
        session.SqlText = "SELECT * FROM ParkInfo ";
        Recordset rs;
        rs.Open(session.SqlText, *session.ParkConnection, adOpenStatic, adLockOptimistic);
        for (int i = 1; i <= 10; ++i) {
            const std::string column = "SiteType" + std::to_string(i);
            bool named = !TrimBlanks(boxes[i]).empty();
            try {
                rs.Fields(column).SetValue(named ? Value(boxes[i]) : Value("None"));
            } catch (const DbError &) {
            }
        }
        rs.Update();
    } catch (const DbError &) {
    }
}

} // namespace tarnwick
