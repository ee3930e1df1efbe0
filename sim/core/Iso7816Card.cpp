#include "sim/core/Iso7816Card.h"

#include "sim/core/Hex.h"

#include <algorithm>
#include <random>
#include <stdexcept>

namespace sim::iso7816
{
namespace
{

constexpr uint16_t kMfFid = 0x3F00;
constexpr uint16_t kSwRefNotFound = 0x6A88;

enum Ins : uint8_t {
    kSelect = 0xA4,
    kReadBinary = 0xB0,
    kUpdateBinary = 0xD6,
    kGetChallenge = 0x84,
    kVerify = 0x20,
    kGetResponse = 0xC0,
};

// The parts of a short APDU, once its case is known.
struct Command {
    uint8_t cla = 0, ins = 0, p1 = 0, p2 = 0;
    std::vector<uint8_t> data; // Lc bytes
    bool hasLe = false;
    std::size_t ne = 0; // expected length; Le 00 means 256
};

bool parse(const uint8_t *apdu, std::size_t n, Command *c)
{
    if (!apdu || n < 4)
        return false;
    c->cla = apdu[0];
    c->ins = apdu[1];
    c->p1 = apdu[2];
    c->p2 = apdu[3];
    if (n == 4)
        return true; // case 1
    const std::size_t p3 = apdu[4];
    if (n == 5) { // case 2
        c->hasLe = true;
        c->ne = p3 == 0 ? 256 : p3;
        return true;
    }
    if (p3 == 0)
        return false;  // Lc 0 with more bytes: extended length, not served
    if (n == 5 + p3) { // case 3
        c->data.assign(apdu + 5, apdu + 5 + p3);
        return true;
    }
    if (n == 6 + p3) { // case 4
        c->data.assign(apdu + 5, apdu + 5 + p3);
        c->hasLe = true;
        c->ne = apdu[5 + p3] == 0 ? 256 : apdu[5 + p3];
        return true;
    }
    return false;
}

std::vector<uint8_t> status(uint16_t sw)
{
    return {static_cast<uint8_t>(sw >> 8), static_cast<uint8_t>(sw & 0xFF)};
}

std::vector<uint8_t> withStatus(std::vector<uint8_t> data, uint16_t sw)
{
    data.push_back(static_cast<uint8_t>(sw >> 8));
    data.push_back(static_cast<uint8_t>(sw & 0xFF));
    return data;
}

// ---- the file tree ----

File *findChild(File &df, uint16_t fid)
{
    for (File &f : df.children)
        if (f.fid == fid)
            return &f;
    return nullptr;
}

// The current DF, following the path from the MF (a path that no longer
// exists falls back to the MF).
File &currentDf(Application &app, Context &context)
{
    File *df = &app.mf;
    for (const uint16_t fid : context.dfPath) {
        File *next = findChild(*df, fid);
        if (!next || !next->dedicated) {
            context.dfPath.clear();
            context.currentEf = -1;
            return app.mf;
        }
        df = next;
    }
    return *df;
}

File *currentEf(Application &app, Context &context)
{
    File &df = currentDf(app, context);
    if (context.currentEf < 0 || static_cast<std::size_t>(context.currentEf) >= df.children.size())
        return nullptr;
    return &df.children[static_cast<std::size_t>(context.currentEf)];
}

bool findByName(File &df, const std::vector<uint8_t> &name, std::vector<uint16_t> &path)
{
    for (File &child : df.children) {
        if (!child.dedicated)
            continue;
        path.push_back(child.fid);
        // A name given in part selects the first DF whose name starts with it.
        if (!child.name.empty() && name.size() <= child.name.size() &&
            std::equal(name.begin(), name.end(), child.name.begin()))
            return true;
        if (findByName(child, name, path))
            return true;
        path.pop_back();
    }
    return false;
}

std::vector<uint8_t> tlv(uint8_t tag, const std::vector<uint8_t> &value)
{
    std::vector<uint8_t> out{tag, static_cast<uint8_t>(value.size())};
    out.insert(out.end(), value.begin(), value.end());
    return out;
}

std::vector<uint8_t> controlInformation(const File &file, uint8_t templateTag)
{
    std::vector<uint8_t> inner;
    if (!file.dedicated) {
        const auto size = static_cast<uint16_t>(file.data.size());
        const auto sizeTlv = tlv(0x80, {static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size & 0xFF)});
        inner.insert(inner.end(), sizeTlv.begin(), sizeTlv.end());
    }
    const auto descriptor = tlv(0x82, {static_cast<uint8_t>(file.dedicated ? 0x38 : 0x01)});
    inner.insert(inner.end(), descriptor.begin(), descriptor.end());
    const auto id = tlv(0x83, {static_cast<uint8_t>(file.fid >> 8), static_cast<uint8_t>(file.fid & 0xFF)});
    inner.insert(inner.end(), id.begin(), id.end());
    if (file.dedicated && !file.name.empty()) {
        const auto name = tlv(0x84, file.name);
        inner.insert(inner.end(), name.begin(), name.end());
    }
    return tlv(templateTag, inner);
}

bool allowed(Access access, const Context &context)
{
    return access == Access::Always || (access == Access::Pin && context.pinVerified);
}

// ---- commands ----

class Processor
{
public:
    Processor(Application &app, Context &context, Link link, std::size_t maxResponse)
        : app_(app), context_(context), link_(link), maxData_(maxResponse >= 2 ? maxResponse - 2 : 0)
    {
    }

    Exchange run(const Command &c)
    {
        if (c.ins != kGetResponse)
            context_.pendingResponse.clear();
        if ((c.cla & 0xF0) != 0x00 || (c.cla & 0x0C) != 0) // interindustry, no secure messaging
            return done(status(kSwClaNotSupported));
        switch (c.ins) {
        case kSelect:
            return select(c);
        case kReadBinary:
            return readBinary(c);
        case kUpdateBinary:
            return updateBinary(c);
        case kGetChallenge:
            return getChallenge(c);
        case kVerify:
            return verify(c);
        case kGetResponse:
            return getResponse(c);
        default:
            return done(status(kSwInsNotSupported));
        }
    }

private:
    Exchange done(std::vector<uint8_t> response) { return Exchange{std::move(response), changed_}; }

    // Data a command answers with: on T=0 a case-4 command keeps it for GET RESPONSE.
    Exchange answer(std::vector<uint8_t> data, bool caseFour)
    {
        if (link_ == Link::T0 && caseFour && !data.empty()) {
            const auto size = static_cast<uint8_t>(std::min<std::size_t>(data.size(), 256) & 0xFF);
            context_.pendingResponse = std::move(data);
            return done({0x61, size});
        }
        if (data.size() > maxData_)
            data.resize(maxData_);
        return done(withStatus(std::move(data), kSwOk));
    }

    Exchange select(const Command &c)
    {
        if (c.p2 != 0x00 && c.p2 != 0x04 && c.p2 != 0x0C)
            return done(status(kSwWrongP1P2));
        std::vector<uint16_t> path;
        int ef = -1;
        if (c.p1 == 0x00) {
            if (!selectByFid(c.data, &path, &ef))
                return done(status(c.data.size() == 2 || c.data.empty() ? kSwFileNotFound : kSwWrongLength));
        } else if (c.p1 == 0x04) {
            if (c.data.empty())
                return done(status(kSwWrongLength));
            if (!findByName(app_.mf, c.data, path))
                return done(status(kSwFileNotFound));
        } else {
            return done(status(kSwWrongP1P2));
        }
        context_.dfPath = path;
        context_.currentEf = ef;
        if (c.p2 == 0x0C)
            return done(status(kSwOk));
        const File *file = ef >= 0 ? currentEf(app_, context_) : &currentDf(app_, context_);
        return answer(controlInformation(*file, c.p2 == 0x04 ? 0x62 : 0x6F), true);
    }

    // By file identifier: the MF, a child of the current DF, the current DF's
    // parent, or a child of that parent.
    bool selectByFid(const std::vector<uint8_t> &data, std::vector<uint16_t> *path, int *ef)
    {
        if (data.empty()) {
            path->clear();
            return true;
        }
        if (data.size() != 2)
            return false;
        const auto fid = static_cast<uint16_t>(data[0] << 8 | data[1]);
        if (fid == kMfFid) {
            path->clear();
            return true;
        }
        std::vector<uint16_t> here = context_.dfPath;
        File &df = currentDf(app_, context_);
        if (locateIn(df, here, fid, path, ef))
            return true;
        if (here.empty())
            return false;
        std::vector<uint16_t> parentPath(here.begin(), here.end() - 1);
        if (here.back() == fid) {
            *path = here;
            return true;
        }
        Context parentContext;
        parentContext.dfPath = parentPath;
        File &parent = currentDf(app_, parentContext);
        if (parent.fid == fid && !parentPath.empty()) {
            *path = parentPath;
            return true;
        }
        return locateIn(parent, parentPath, fid, path, ef);
    }

    static bool locateIn(File &df, const std::vector<uint16_t> &dfPath, uint16_t fid, std::vector<uint16_t> *path,
                         int *ef)
    {
        for (std::size_t i = 0; i < df.children.size(); ++i) {
            if (df.children[i].fid != fid)
                continue;
            *path = dfPath;
            if (df.children[i].dedicated)
                path->push_back(fid);
            else
                *ef = static_cast<int>(i);
            return true;
        }
        return false;
    }

    // P1 bit 8 names the EF by its short identifier (the FID's low five bits).
    int efForReadOrUpdate(const Command &c, std::size_t *offset, uint16_t *sw)
    {
        if (c.p1 & 0x80) {
            if (c.p1 & 0x60) {
                *sw = kSwWrongP1P2;
                return -1;
            }
            const int sfi = c.p1 & 0x1F;
            File &df = currentDf(app_, context_);
            for (std::size_t i = 0; i < df.children.size(); ++i)
                if (!df.children[i].dedicated && (df.children[i].fid & 0x1F) == sfi) {
                    context_.currentEf = static_cast<int>(i);
                    *offset = c.p2;
                    return 1;
                }
            *sw = kSwFileNotFound;
            return -1;
        }
        *offset = static_cast<std::size_t>(c.p1) << 8 | c.p2;
        if (!currentEf(app_, context_)) {
            *sw = context_.currentEf < 0 ? kSwNoCurrentEf : kSwIncompatibleFile;
            return -1;
        }
        return 1;
    }

    Exchange readBinary(const Command &c)
    {
        if (!c.hasLe || !c.data.empty())
            return done(status(kSwWrongLength));
        std::size_t offset = 0;
        uint16_t sw = 0;
        if (efForReadOrUpdate(c, &offset, &sw) < 0)
            return done(status(sw));
        const File &ef = *currentEf(app_, context_);
        if (!allowed(ef.read, context_))
            return done(status(kSwSecurityNotSatisfied));
        if (offset >= ef.data.size())
            return done(status(kSwOffsetOutside));
        const std::size_t wanted = std::min(c.ne, maxData_);
        const std::size_t n = std::min(wanted, ef.data.size() - offset);
        std::vector<uint8_t> data(ef.data.begin() + static_cast<std::ptrdiff_t>(offset),
                                  ef.data.begin() + static_cast<std::ptrdiff_t>(offset + n));
        return done(withStatus(std::move(data), n < c.ne && n < maxData_ ? kSwEndOfFile : kSwOk));
    }

    Exchange updateBinary(const Command &c)
    {
        if (c.hasLe || c.data.empty())
            return done(status(kSwWrongLength));
        std::size_t offset = 0;
        uint16_t sw = 0;
        if (efForReadOrUpdate(c, &offset, &sw) < 0)
            return done(status(sw));
        File &ef = *currentEf(app_, context_);
        if (!allowed(ef.update, context_))
            return done(status(kSwSecurityNotSatisfied));
        if (offset >= ef.data.size())
            return done(status(kSwOffsetOutside));
        if (offset + c.data.size() > ef.data.size())
            return done(status(kSwWrongLength));
        std::copy(c.data.begin(), c.data.end(), ef.data.begin() + static_cast<std::ptrdiff_t>(offset));
        changed_ = true;
        return done(status(kSwOk));
    }

    Exchange getChallenge(const Command &c)
    {
        if (c.p1 != 0 || c.p2 != 0)
            return done(status(kSwWrongP1P2));
        if (!c.hasLe || !c.data.empty())
            return done(status(kSwWrongLength));
        const std::size_t n = std::min<std::size_t>(c.ne == 256 ? 8 : c.ne, maxData_);
        static std::mt19937 source{std::random_device{}()};
        std::uniform_int_distribution<int> byte(0, 255);
        std::vector<uint8_t> challenge(n);
        for (uint8_t &b : challenge)
            b = static_cast<uint8_t>(byte(source));
        return answer(std::move(challenge), false);
    }

    Exchange verify(const Command &c)
    {
        if (c.p1 != 0x00)
            return done(status(kSwWrongP1P2));
        if (c.p2 != 0x00)
            return done(status(kSwRefNotFound));
        if (c.hasLe)
            return done(status(kSwWrongLength));
        Pin &pin = app_.pin;
        if (pin.triesLeft <= 0)
            return done(status(kSwPinBlocked));
        if (c.data.empty()) // how many tries are left
            return done(status(context_.pinVerified ? uint16_t{kSwOk} : static_cast<uint16_t>(0x63C0 | pin.triesLeft)));
        if (c.data != pin.value) {
            context_.pinVerified = false;
            --pin.triesLeft;
            changed_ = true;
            return done(
                status(pin.triesLeft == 0 ? uint16_t{kSwPinBlocked} : static_cast<uint16_t>(0x63C0 | pin.triesLeft)));
        }
        context_.pinVerified = true;
        if (pin.triesLeft != pin.maxTries) {
            pin.triesLeft = pin.maxTries;
            changed_ = true;
        }
        return done(status(kSwOk));
    }

    Exchange getResponse(const Command &c)
    {
        if (c.p1 != 0 || c.p2 != 0)
            return done(status(kSwWrongP1P2));
        if (!c.hasLe || !c.data.empty())
            return done(status(kSwWrongLength));
        std::vector<uint8_t> &pending = context_.pendingResponse;
        if (pending.empty())
            return done(status(kSwConditionsNotSatisfied));
        if (c.ne != 256 && c.ne > pending.size())
            return done(status(static_cast<uint16_t>(0x6C00 | pending.size())));
        const std::size_t n = std::min({c.ne, pending.size(), maxData_});
        std::vector<uint8_t> data(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n));
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(n));
        const uint16_t sw = pending.empty() ? uint16_t{kSwOk} : static_cast<uint16_t>(0x6100 | (pending.size() & 0xFF));
        return done(withStatus(std::move(data), sw));
    }

    Application &app_;
    Context &context_;
    Link link_;
    std::size_t maxData_;
    bool changed_ = false;
};

// ---- JSON ----

const char *accessName(Access a)
{
    switch (a) {
    case Access::Always:
        return "always";
    case Access::Pin:
        return "pin";
    case Access::Never:
        return "never";
    }
    return "never";
}

Access accessFromName(const std::string &name)
{
    if (name == "always")
        return Access::Always;
    if (name == "pin")
        return Access::Pin;
    if (name == "never")
        return Access::Never;
    throw std::runtime_error("unknown file access '" + name + "'");
}

std::string fidText(uint16_t fid)
{
    return toHex({static_cast<uint8_t>(fid >> 8), static_cast<uint8_t>(fid & 0xFF)});
}

std::vector<uint8_t> hexOf(const nlohmann::ordered_json &j, const char *key)
{
    const auto bytes = fromHex(j.at(key).get<std::string>());
    if (!bytes)
        throw std::runtime_error(std::string("not hexadecimal: ") + key);
    return *bytes;
}

nlohmann::ordered_json fileToJson(const File &f)
{
    nlohmann::ordered_json j;
    j["fid"] = fidText(f.fid);
    if (f.dedicated) {
        j["df"] = true;
        j["name"] = toHex(f.name);
        nlohmann::ordered_json children = nlohmann::ordered_json::array();
        for (const File &child : f.children)
            children.push_back(fileToJson(child));
        j["children"] = children;
    } else {
        j["data"] = toHex(f.data);
        j["read"] = accessName(f.read);
        j["update"] = accessName(f.update);
    }
    return j;
}

File fileFromJson(const nlohmann::ordered_json &j, int depth)
{
    if (depth > 8)
        throw std::runtime_error("the file tree is too deep");
    File f;
    const auto fid = hexOf(j, "fid");
    if (fid.size() != 2)
        throw std::runtime_error("a file identifier has 4 hexadecimal digits");
    f.fid = static_cast<uint16_t>(fid[0] << 8 | fid[1]);
    f.dedicated = j.value("df", false);
    if (f.dedicated) {
        f.name = hexOf(j, "name");
        if (f.name.size() > 16)
            throw std::runtime_error("a DF name has at most 16 bytes");
        for (const auto &child : j.at("children"))
            f.children.push_back(fileFromJson(child, depth + 1));
    } else {
        f.data = hexOf(j, "data");
        if (f.data.size() > 0x7FFF)
            throw std::runtime_error("an EF holds at most 32767 bytes");
        f.read = accessFromName(j.at("read").get<std::string>());
        f.update = accessFromName(j.at("update").get<std::string>());
    }
    return f;
}

void describeFile(const File &f, int depth, std::string &out)
{
    out += std::string(static_cast<std::size_t>(2 * depth), ' ') + fidText(f.fid);
    if (f.dedicated) {
        out += depth == 0 ? " MF" : " DF";
        if (!f.name.empty())
            out += " name " + toHex(f.name);
        out += "\n";
        for (const File &child : f.children)
            describeFile(child, depth + 1, out);
    } else {
        out += " EF " + std::to_string(f.data.size()) + " bytes, read " + accessName(f.read) + ", update " +
               accessName(f.update) + ": " + toHex(f.data) + "\n";
    }
}

} // namespace

Exchange process(Application &app, Context &context, const uint8_t *apdu, std::size_t length, Link link,
                 std::size_t maxResponse)
{
    Command command;
    if (!parse(apdu, length, &command)) {
        context.pendingResponse.clear();
        return Exchange{status(kSwWrongLength), false};
    }
    return Processor(app, context, link, maxResponse).run(command);
}

std::vector<uint8_t> defaultAid()
{
    return {0xF0, 0x00, 0x00, 0x54, 0x37, 0x44, 0x45, 0x4D, 0x4F}; // .. "T7DEMO"
}

Application defaultApplication(const std::vector<uint8_t> &aid)
{
    Application app;
    app.mf.fid = kMfFid;
    app.mf.dedicated = true;
    File dir;
    dir.fid = 0x2F00;
    dir.data.assign(32, 0x00);
    // A directory record naming the application: 61 L 4F L AID.
    dir.data[0] = 0x61;
    dir.data[1] = static_cast<uint8_t>(aid.size() + 2);
    dir.data[2] = 0x4F;
    dir.data[3] = static_cast<uint8_t>(aid.size());
    std::copy(aid.begin(), aid.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(aid.size(), 28)),
              dir.data.begin() + 4);
    File df;
    df.fid = 0x1001;
    df.dedicated = true;
    df.name = aid;
    File data;
    data.fid = 0x0015;
    data.data.assign(32, 0x00);
    data.update = Access::Pin;
    File secret;
    secret.fid = 0x0016;
    secret.data.assign(16, 0x00);
    secret.read = Access::Pin;
    secret.update = Access::Pin;
    df.children = {data, secret};
    app.mf.children = {dir, df};
    app.pin.value = {0x12, 0x34, 0x56};
    return app;
}

nlohmann::ordered_json toJson(const Application &app)
{
    return nlohmann::ordered_json{
        {"pin", {{"value", toHex(app.pin.value)}, {"triesLeft", app.pin.triesLeft}, {"maxTries", app.pin.maxTries}}},
        {"mf", fileToJson(app.mf)}};
}

Application applicationFromJson(const nlohmann::ordered_json &json)
{
    Application app;
    const auto &pin = json.at("pin");
    app.pin.value = hexOf(pin, "value");
    app.pin.maxTries = pin.value("maxTries", 3);
    app.pin.triesLeft = pin.value("triesLeft", app.pin.maxTries);
    if (app.pin.maxTries < 1 || app.pin.maxTries > 15 || app.pin.triesLeft < 0 || app.pin.triesLeft > app.pin.maxTries)
        throw std::runtime_error("a PIN has 1 to 15 tries");
    app.mf = fileFromJson(json.at("mf"), 0);
    if (!app.mf.dedicated || app.mf.fid != kMfFid)
        throw std::runtime_error("the root of the file tree is the MF 3F00");
    return app;
}

std::string describe(const Application &app)
{
    std::string out;
    describeFile(app.mf, 0, out);
    out += "PIN " + toHex(app.pin.value) + ", " + std::to_string(app.pin.triesLeft) + " of " +
           std::to_string(app.pin.maxTries) + " tries left\n";
    return out;
}

} // namespace sim::iso7816
