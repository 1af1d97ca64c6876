// The scene file reader: whitespace-separated words, compared with a table of keywords;
// words that match none are skipped one at a time, so the values of keywords this
// system doesn't use pass by as unknown words.
#include <cctype>
#include <charconv>
#include <cstring>
#include <functional>
#include <unordered_map>

#include "io/console.h"
#include "lightwave/lw_scene.h"

namespace mirva {

namespace {

constexpr float kDegreesPerRadian = 57.295776f;
constexpr float kRadiansPerDegree = 0.017453292f;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The whole word as a number (an optional '+' in front allowed); false otherwise.
template <typename Number>
bool parseNumber(const std::string& word, Number& value)
{
    const char* begin = word.data();
    const char* end = begin + word.size();
    if (begin != end && *begin == '+')
        ++begin;
    const auto result = std::from_chars(begin, end, value);
    return begin != end && result.ec == std::errc() && result.ptr == end;
}

// Eight hex digits: an item identifier as the file writes them.
bool isItemId(const std::string& word)
{
    if (word.size() != 8)
        return false;
    for (char c : word)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

}  // namespace

class SceneReader {
public:
    SceneReader(const std::string& fileName, const std::string& text, LWScene& scene)
        : file_(fileName), text_(text), scene_(scene)
    {
    }

    void read()
    {
        if (word() != "LWSC")
            Console::error("NotLWScene '%s'", file_.c_str());
        const std::string versionWord = word();
        parseNumber(versionWord, version_);
        const auto& table = keywords();
        for (std::string w = word(); !w.empty(); w = word()) {
            const auto keyword = table.find(w);
            if (keyword != table.end()) {
                keyword_ = w;
                keyword->second(*this);
            }
        }
    }

private:
    using Action = std::function<void(SceneReader&)>;

    // ---- words and numbers

    std::string word()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            advance();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_]))
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void advance()
    {
        if (text_[pos_] == '\n')
            ++line_;
        ++pos_;
    }

    // Everything after the blanks (line ends included) up to the next line end.
    std::string restOfLine()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            advance();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    [[noreturn]] void expected(const char* what, const std::string& found) const
    {
        Console::error("LWS scene '%s' line %d: %s expected after %s, found '%s'", file_.c_str(), line_, what,
                       keyword_.c_str(), found.empty() ? "end of file" : found.c_str());
    }

    float readFloat()
    {
        const std::string w = word();
        float value = 0;
        if (!parseNumber(w, value))
            expected("a number", w);
        return value;
    }

    std::int32_t readInt()
    {
        const std::string w = word();
        std::int32_t value = 0;
        if (!parseNumber(w, value))
            expected("an integer", w);
        return value;
    }

    std::int32_t readItemId()
    {
        const std::string w = word();
        if (!isItemId(w))
            expected("an item identifier", w);
        return static_cast<std::int32_t>(std::stoul(w, nullptr, 16));
    }

    void readColour(float (&colour)[4])
    {
        for (int i = 0; i < 3; ++i)
            colour[i] = readFloat() * 255.0f;
        colour[3] = 0;
    }

    // One of the scene's own messages, with the file name in place of its "%s".
    [[noreturn]] void broken(const char* message) const
    {
        std::string text = message;
        text.replace(text.find("%s"), 2, file_);
        Console::fatal(text);
    }

    // ---- envelopes and motions

    void envelopeBlock(Envelope& envelope)
    {
        if (word() != "{" || word() != "Envelope")
            broken("BrokenEnvelope %s");
        std::int32_t count = readInt();
        if (count < 0)
            broken("BrokenEnvelope %s");
        if (count == 0)
            count = 1;
        std::vector<Key>& keys = envelope.keys();
        keys.clear();
        for (std::int32_t i = 0; i < count; ++i)
            keys.push_back(key());
        if (word() != "Behaviors")
            broken("BrokenEnvelope %s");
        const std::int32_t pre = readInt();
        if (pre < Behavior::RESET || pre > Behavior::LINEAR)
            broken("UnsupportedPreBehavior %s");
        const std::int32_t post = readInt();
        if (post < Behavior::RESET || post > Behavior::LINEAR)
            broken("UnsupportedPostBehavior %s");
        envelope.setBehaviors(pre, post);
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            advance();
        if (pos_ < text_.size() && text_[pos_] == '{')
            Console::fatal("Envelope: expressions are not supported");
        if (pos_ >= text_.size() || text_[pos_] != '}')
            broken("BrokenEnvelope %s");
        ++pos_;
    }

    Key key()
    {
        if (word() != "Key")
            broken("BrokenEnvelope %s");
        Key key;
        key.value = readFloat();
        key.time = readFloat();
        key.shape = readInt();
        if (key.shape < KeyType::TCB || key.shape > KeyType::BEZIER2D)
            broken("UnsupportedKeyType  %s");
        float p[5];
        for (float& value : p)
            value = readFloat();
        readFloat();   // the sixth parameter is not used
        switch (key.shape) {
        case KeyType::TCB:
            key.p0 = p[0];
            key.p1 = p[1];
            key.p2 = p[2];
            break;
        case KeyType::HERMITE:
        case KeyType::BEZIER:
            key.p0 = p[3];
            key.p1 = p[4];
            break;
        case KeyType::BEZIER2D:
            key.p0 = p[0];
            key.p1 = p[1];
            key.p2 = p[2];
            key.p3 = p[3];
            break;
        default:
            break;
        }
        return key;
    }

    // "(envelope)" and an envelope block, or a plain number: one key at time 0.
    std::unique_ptr<Envelope> envelopeValue()
    {
        auto envelope = std::make_unique<Envelope>();
        const std::string w = word();
        if (w == "(envelope)") {
            envelopeBlock(*envelope);
        } else {
            Key key;
            if (!parseNumber(w, key.value))
                expected("a number or (envelope)", w);
            envelope->AddKey(key);
        }
        return envelope;
    }

    // A single value that the file may also write as an envelope; lights and the world
    // settings are not animated here, so an envelope gives its value at time 0.
    float staticValue() { return envelopeValue()->Evaluate(0.0f); }

    Motion* motion()
    {
        scene_.motions_.push_back(std::make_unique<Motion>(9));
        Motion& motion = *scene_.motions_.back();
        if (word() != "NumChannels")
            broken("BrokenSceneFile '%s'");
        const std::int32_t count = readInt();
        if (count < 0 || count > 9)
            broken("BrokenSceneFile '%s'");
        motion.create(count);
        for (std::int32_t i = 0; i < count; ++i) {
            if (word() != "Channel")
                broken("BrokenSceneFile '%s'");
            if (readInt() != i)
                broken("BrokenSceneFile '%s'");
            envelopeBlock(*motion.envelope(i));
        }
        // Rotations are written in radians; the motion works in degrees.
        for (int i = 3; i <= 5; ++i)
            if (Envelope* envelope = motion.envelope(i))
                for (Key& key : envelope->keys())
                    key.value *= kDegreesPerRadian;
        return &motion;
    }

    // ---- items

    SceneItem* current()
    {
        return scene_.item(current_);
    }

    // The current item, which must be of this kind.
    SceneItem& currentItem(std::int32_t kind)
    {
        if (current_ == -1 || (current_ >> 28) != kind)
            broken("BrokenScene '%s'");
        return *scene_.item(current_);
    }

    void itemMotion(std::int32_t kind)
    {
        SceneItem& item = currentItem(kind);
        item.motion = motion();
    }

    void itemName(std::int32_t kind, std::multimap<std::string, std::int32_t>& names)
    {
        SceneItem& item = currentItem(kind);
        item.name = word();
        names.emplace(item.name, item.id);
    }

    void lightValue(float SceneLight::*field)
    {
        SceneLight& light = currentLight();
        light.*field = staticValue();
    }

    SceneObject& currentObject() { return static_cast<SceneObject&>(currentItem(ItemKind::OBJECT)); }
    SceneLight& currentLight() { return static_cast<SceneLight&>(currentItem(ItemKind::LIGHT)); }
    SceneCamera& currentCamera() { return static_cast<SceneCamera&>(currentItem(ItemKind::CAMERA)); }

    template <typename Item>
    Item& add(std::vector<Item>& list, std::int32_t kind)
    {
        Item& item = list.emplace_back();
        item.id = kind << 28 | static_cast<std::int32_t>(list.size() - 1);
        current_ = item.id;
        return item;
    }

    void addObject(const std::string& name)
    {
        SceneObject& object = add(scene_.objects_, ItemKind::OBJECT);
        object.name = name;
        scene_.objectNames_.emplace(name, object.id);
    }

    // Scenes of version 4 and later write the item's identifier before its name.
    std::string dropItemId(const std::string& text) const
    {
        const std::size_t blank = text.find_first_of(" \t");
        if (version_ >= 4 && blank != std::string::npos && isItemId(text.substr(0, blank))) {
            const std::size_t start = text.find_first_not_of(" \t", blank);
            if (start != std::string::npos)
                return text.substr(start);
        }
        return text;
    }

    void loadObjectLayer()
    {
        readInt();   // the layer
        addObject(dropItemId(restOfLine()));
    }

    void addNullObject()
    {
        std::string name = word();
        if (version_ >= 4 && isItemId(name))
            name = word();
        addObject(name);
    }

    // ParentItem and TargetItem: an identifier for the current item, whatever its kind.
    void itemLink(std::int32_t SceneItem::*field)
    {
        const std::int32_t id = readItemId();
        SceneItem* item = current();
        if (!item)
            broken("BrokenScene '%s'");
        item->*field = id;
    }

    void limits(int channel)
    {
        const float low = readFloat() * kRadiansPerDegree;
        const float high = readFloat() * kRadiansPerDegree;
        SceneItem* item = current();
        if (item && item->motion && channel < item->motion->channelCount()) {
            item->motion->setLimits(channel, low, high);
            item->motion->setLimitsFlag(channel);
        }
    }

    void controller(int channel)
    {
        const std::int32_t code = readInt();
        if (code < Controller::KEYFRAMED || code > Controller::ALIGN_TO_PATH)
            Console::error("UnsupportedMotionControllerType %s %d", file_.c_str(), code);
        SceneItem* item = current();
        if (item && item->motion && channel < item->motion->channelCount())
            item->motion->setController(channel, code);
    }

    static const std::unordered_map<std::string, Action>& keywords();

    std::string file_;
    const std::string& text_;
    LWScene& scene_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::int32_t version_ = 0;
    std::int32_t current_ = -1;
    std::string keyword_;

    friend class LWScene;
};

const std::unordered_map<std::string, SceneReader::Action>& SceneReader::keywords()
{
    using R = SceneReader;
    static const std::unordered_map<std::string, Action> table = {
        {"PreviewFirstFrame", [](R& r) { r.scene_.previewFirstFrame = r.readInt(); }},
        {"PreviewLastFrame", [](R& r) { r.scene_.previewLastFrame = r.readInt(); }},
        {"FramesPerSecond", [](R& r) { r.scene_.framesPerSecond = r.readInt(); }},
        {"FogMinDist", [](R& r) { r.scene_.fogMinDistance = r.staticValue(); }},
        {"FogMinDistance", [](R& r) { r.scene_.fogMinDistance = r.staticValue(); }},
        {"FogMaxDist", [](R& r) { r.scene_.fogMaxDistance = r.staticValue(); }},
        {"FogMaxDistance", [](R& r) { r.scene_.fogMaxDistance = r.staticValue(); }},
        {"FogType",
         [](R& r) {
             const std::int32_t type = r.readInt();
             if (type != 0 && type != 1)
                 r.broken("UnsupportedFogType '%s'");
             r.scene_.fogEnabled = type == 1;
         }},
        {"FogColor", [](R& r) { r.readColour(r.scene_.fogColour); }},
        {"BackdropFog", [](R& r) { r.scene_.backdropFog = r.readInt() != 0; }},
        {"BackdropColor", [](R& r) { r.readColour(r.scene_.backdropColour); }},
        {"AmbientColor", [](R& r) { r.readColour(r.scene_.ambientColour); }},
        {"AmbientIntensity", [](R& r) { r.scene_.ambientIntensity = r.staticValue(); }},
        {"LoadObjectLayer", [](R& r) { r.loadObjectLayer(); }},
        {"AddNullObject", [](R& r) { r.addNullObject(); }},
        {"UnaffectedByFog",
         [](R& r) {
             if (r.readInt() != 0 && (r.current_ >> 28) == ItemKind::OBJECT)
                 r.currentObject().unaffectedByFog = true;
         }},
        {"UnseenByCamera",
         [](R& r) {
             if (r.readInt() != 0 && (r.current_ >> 28) == ItemKind::OBJECT)
                 r.currentObject().unseenByCamera = true;
         }},
        {"ObjectMotion", [](R& r) { r.itemMotion(ItemKind::OBJECT); }},
        {"ParentItem", [](R& r) { r.itemLink(&SceneItem::parent); }},
        {"TargetItem", [](R& r) { r.itemLink(&SceneItem::target); }},
        {"HLimits", [](R& r) { r.limits(3); }},
        {"PLimits", [](R& r) { r.limits(4); }},
        {"BLimits", [](R& r) { r.limits(5); }},
        {"HController", [](R& r) { r.controller(3); }},
        {"PController", [](R& r) { r.controller(4); }},
        {"BController", [](R& r) { r.controller(5); }},
        {"PathAlignLookAhead",
         [](R& r) {
             const float seconds = r.readFloat();
             if (SceneItem* item = r.current(); item && item->motion)
                 item->motion->setLookAhead(seconds);
         }},
        {"AddCamera", [](R& r) { r.add(r.scene_.cameras_, ItemKind::CAMERA); }},
        {"CameraName", [](R& r) { r.itemName(ItemKind::CAMERA, r.scene_.cameraNames_); }},
        {"CameraMotion", [](R& r) { r.itemMotion(ItemKind::CAMERA); }},
        {"ZoomFactor",
         [](R& r) {
             SceneCamera& camera = r.currentCamera();
             camera.zoomEnvelope = r.envelopeValue();
         }},
        {"AddLight", [](R& r) { r.add(r.scene_.lights_, ItemKind::LIGHT); }},
        {"LightName", [](R& r) { r.itemName(ItemKind::LIGHT, r.scene_.lightNames_); }},
        {"LightMotion", [](R& r) { r.itemMotion(ItemKind::LIGHT); }},
        {"LightColor",
         [](R& r) {
             SceneLight& light = r.currentLight();
             for (float& c : light.colour)
                 c = r.readFloat() * 255.0f;
         }},
        {"LightIntensity", [](R& r) { r.lightValue(&SceneLight::intensity); }},
        {"LightType",
         [](R& r) {
             SceneLight& light = r.currentLight();
             light.type = r.readInt();
             if (light.type < 0 || light.type > 2)
                 r.broken("UnsupportedLightType '%s'");
         }},
        {"LightFalloffType",
         [](R& r) {
             SceneLight& light = r.currentLight();
             light.falloff = r.readInt();
             if (light.falloff != 1 && light.falloff != 2)
                 r.broken("UnsupportedLightFalloffType '%s'");
         }},
        {"LightRange", [](R& r) { r.lightValue(&SceneLight::range); }},
        {"LightConeAngle", [](R& r) { r.lightValue(&SceneLight::coneAngle); }},
        {"LightEdgeAngle", [](R& r) { r.lightValue(&SceneLight::edgeAngle); }},
        {"GlobalLightIntensity", [](R& r) { r.scene_.globalLight_ = r.envelopeValue(); }},
    };
    return table;
}

LWScene LWScene::Parse(const std::string& fileName, const std::string& text)
{
    Console::print("LWSLoader: parse scene %s\n", fileName.c_str());
    LWScene scene;
    scene.name_ = fileName;
    SceneReader(fileName, text, scene).read();
    scene.linkHierarchy();
    scene.createEngineLights();
    Console::print("LWSLoader: update scene\n");
    scene.Update(0.0f);
    return scene;
}

}  // namespace mirva
