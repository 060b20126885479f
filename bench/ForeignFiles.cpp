#include "ForeignFiles.h"

namespace {

// The values of entry n: a title, user, password, address, two-line notes
// and a group.
struct Values {
    QByteArray title, user, password, url, notes, group;
};

Values valuesOf(int n)
{
    const QByteArray number = QByteArray::number(n);
    return {"Site " + number,
            "user" + number,
            "pw-" + number + "-xyz",
            "https://site" + number + ".example/login",
            "first line " + number + "\nsecond line",
            "Group " + QByteArray::number(n % 50)};
}

} // namespace

QByteArray foreignFile(ForeignLayout layout, int count)
{
    QByteArray text;
    text.reserve(qsizetype(count) * 200);
    switch (layout) {
    case ForeignLayout::BitwardenCsv:
        text += "folder,favorite,type,name,notes,fields,reprompt,login_uri,login_username,login_password,login_totp\n";
        break;
    case ForeignLayout::LastPassCsv: text += "url,username,password,totp,extra,name,grouping,fav\n"; break;
    case ForeignLayout::FirefoxCsv:
        text += "url,username,password,httpRealm,formActionOrigin,guid,timeCreated,timeLastUsed,timePasswordChanged\n";
        break;
    case ForeignLayout::BitwardenJson: text += "{\"encrypted\": false, \"folders\": [], \"items\": [\n"; break;
    case ForeignLayout::PasswordSafeXml:
        text += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<passwordsafe delimiter=\"|\">\n";
        break;
    }
    for (int n = 0; n < count; ++n) {
        const Values v = valuesOf(n);
        switch (layout) {
        case ForeignLayout::BitwardenCsv:
            text += v.group + ",0,login," + v.title + ",\"" + v.notes + "\",\"PIN: 1234\",0," + v.url + "," + v.user
                    + "," + v.password + ",\n";
            break;
        case ForeignLayout::LastPassCsv:
            text +=
                v.url + "," + v.user + "," + v.password + ",,\"" + v.notes + "\"," + v.title + "," + v.group + ",0\n";
            break;
        case ForeignLayout::FirefoxCsv:
            text += v.url + "," + v.user + "," + v.password + ",,,{" + QByteArray::number(n)
                    + "},1700000000000,1700000000000,1700000000000\n";
            break;
        case ForeignLayout::BitwardenJson:
            text += QByteArray(n > 0 ? "," : "") + "{\"id\": \"" + QByteArray::number(n)
                    + "\", \"type\": 1, \"name\": \"" + v.title + "\", \"notes\": \"first line\\nsecond\", "
                    + "\"login\": {\"uris\": [{\"uri\": \"" + v.url + "\"}], \"username\": \"" + v.user
                    + "\", \"password\": \"" + v.password + "\"}}\n";
            break;
        case ForeignLayout::PasswordSafeXml:
            text += "<entry id=\"" + QByteArray::number(n) + "\"><group>" + v.group + "</group><title>" + v.title
                    + "</title><username>" + v.user + "</username><password>" + v.password + "</password><url>" + v.url
                    + "</url><notes>first line|second</notes></entry>\n";
            break;
        }
    }
    if (layout == ForeignLayout::BitwardenJson)
        text += "]}\n";
    else if (layout == ForeignLayout::PasswordSafeXml)
        text += "</passwordsafe>\n";
    return text;
}
