#include "platform/d3d8/ffp_shader.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "io/console.h"
#include "platform/d3d8/failure_report.h"

namespace mirva {

const char* const d3dClipEpilogue = R"(
    // Direct3D clip space to OpenGL's: rows are stored top row first, so y turns over;
    // depth 0..w becomes -w..w; the shift of just under half a pixel puts Direct3D's
    // pixel centres (integer coordinates) on OpenGL's and keeps its top-left fill rule.
    gl_Position = vec4(clip.x + u_pixelOffset.x * clip.w, -clip.y + u_pixelOffset.y * clip.w,
                       2.0 * clip.z - clip.w, clip.w);
)";

namespace {

std::string stageText(int i)
{
    return std::to_string(i);
}

// The texture coordinate sets the stages read.
std::set<int> usedTexCoords(const FfpKey& key)
{
    std::set<int> used;
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stage[i].hasTexture)
            used.insert(key.stage[i].texCoordIndex & 7);
    return used;
}

std::string argument(BYTE arg, int stage)
{
    std::string value;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: value = "diffuse"; break;
    case D3DTA_CURRENT: value = "current"; break;
    case D3DTA_TEXTURE: value = "texel" + stageText(stage); break;
    case D3DTA_TFACTOR: value = "u_textureFactor"; break;
    case D3DTA_SPECULAR: value = "specular"; break;
    case D3DTA_TEMP: value = "temp"; break;
    default: value = "vec4(0.0)"; break;
    }
    if (arg & D3DTA_ALPHAREPLICATE)
        value = "vec4(" + value + ".a)";
    if (arg & D3DTA_COMPLEMENT)
        value = "(vec4(1.0) - " + value + ")";
    return value;
}

// The expression of one operation; `c` selects the channels (".rgb" or ".a").
std::string operation(BYTE op, const std::string& a0, const std::string& a1, const std::string& a2, const char* c,
                      int stage)
{
    const std::string x0 = a0 + c, x1 = a1 + c, x2 = a2 + c;
    const std::string texel = "texel" + stageText(stage);
    switch (op) {
    case D3DTOP_SELECTARG1: return x1;
    case D3DTOP_SELECTARG2: return x2;
    case D3DTOP_MODULATE: return x1 + " * " + x2;
    case D3DTOP_MODULATE2X: return "2.0 * " + x1 + " * " + x2;
    case D3DTOP_MODULATE4X: return "4.0 * " + x1 + " * " + x2;
    case D3DTOP_ADD: return x1 + " + " + x2;
    case D3DTOP_ADDSIGNED: return x1 + " + " + x2 + " - 0.5";
    case D3DTOP_ADDSIGNED2X: return "2.0 * (" + x1 + " + " + x2 + " - 0.5)";
    case D3DTOP_SUBTRACT: return x1 + " - " + x2;
    case D3DTOP_ADDSMOOTH: return x1 + " + " + x2 + " - " + x1 + " * " + x2;
    case D3DTOP_BLENDDIFFUSEALPHA: return "mix(" + x2 + ", " + x1 + ", diffuse.a)";
    case D3DTOP_BLENDTEXTUREALPHA: return "mix(" + x2 + ", " + x1 + ", " + texel + ".a)";
    case D3DTOP_BLENDFACTORALPHA: return "mix(" + x2 + ", " + x1 + ", u_textureFactor.a)";
    case D3DTOP_BLENDTEXTUREALPHAPM: return x1 + " + " + x2 + " * (1.0 - " + texel + ".a)";
    case D3DTOP_BLENDCURRENTALPHA: return "mix(" + x2 + ", " + x1 + ", current.a)";
    case D3DTOP_MODULATEALPHA_ADDCOLOR: return x1 + " + " + a1 + ".a * " + x2;
    case D3DTOP_MODULATECOLOR_ADDALPHA: return x1 + " * " + x2 + " + " + a1 + ".a";
    case D3DTOP_MODULATEINVALPHA_ADDCOLOR: return "(1.0 - " + a1 + ".a) * " + x2 + " + " + x1;
    case D3DTOP_MODULATEINVCOLOR_ADDALPHA: return "(1.0 - " + x1 + ") * " + x2 + " + " + a1 + ".a";
    case D3DTOP_DOTPRODUCT3: return "dot3";
    case D3DTOP_MULTIPLYADD: return x0 + " + " + x1 + " * " + x2;
    case D3DTOP_LERP: return "mix(" + x2 + ", " + x1 + ", " + x0 + ")";
    default: return x1;  // PREMODULATE and the bump operations read as their first argument
    }
}

std::string alphaTest(BYTE func)
{
    // Direct3D compares the 8-bit alpha with the 8-bit reference.
    const std::string a = "floor(clamp(current.a, 0.0, 1.0) * 255.0 + 0.5)";
    const std::string r = "u_alphaReference";
    switch (func) {
    case D3DCMP_NEVER: return "    discard;\n";
    case D3DCMP_LESS: return "    if (!(" + a + " < " + r + ")) discard;\n";
    case D3DCMP_EQUAL: return "    if (!(" + a + " == " + r + ")) discard;\n";
    case D3DCMP_LESSEQUAL: return "    if (!(" + a + " <= " + r + ")) discard;\n";
    case D3DCMP_GREATER: return "    if (!(" + a + " > " + r + ")) discard;\n";
    case D3DCMP_NOTEQUAL: return "    if (!(" + a + " != " + r + ")) discard;\n";
    case D3DCMP_GREATEREQUAL: return "    if (!(" + a + " >= " + r + ")) discard;\n";
    default: return "";
    }
}

}  // namespace

namespace {

// The material colour of one kind from its source: the material or a vertex colour.
std::string materialColor(BYTE source, const char* uniform)
{
    return source == D3DMCS_COLOR1 ? "a_diffuse" : source == D3DMCS_COLOR2 ? "a_specular" : uniform;
}

// Direct3D's lighting in camera space, one block per enabled light.
std::string lightingText(const FfpKey& key)
{
    std::string s;
    s += "    vec3 P = (u_worldView * vec4(a_position.xyz, 1.0)).xyz;\n"
         "    vec3 N = u_normalMatrix * a_normal;\n";
    if (key.normalizeNormals)
        s += "    if (dot(N, N) > 0.0) N = normalize(N);\n";
    // The viewer: at the camera (local) or infinitely far behind it along -z.
    s += key.localViewer ? "    vec3 V = dot(P, P) > 0.0 ? normalize(-P) : vec3(0.0, 0.0, -1.0);\n"
                         : "    vec3 V = vec3(0.0, 0.0, -1.0);\n";
    s += "    vec4 Cd = " + materialColor(key.materialSource[0], "u_materialDiffuse") + ";\n";
    s += "    vec4 Ca = " + materialColor(key.materialSource[1], "u_materialAmbient") + ";\n";
    s += "    vec4 Cs = " + materialColor(key.materialSource[2], "u_materialSpecular") + ";\n";
    s += "    vec4 Ce = " + materialColor(key.materialSource[3], "u_materialEmissive") + ";\n";
    s += "    vec3 ambientSum = u_ambient.rgb;\n"
         "    vec3 diffuseSum = vec3(0.0);\n"
         "    vec3 specularSum = vec3(0.0);\n";
    for (int i = 0; i < key.lightCount; ++i) {
        const std::string n = "[" + std::to_string(i) + "]";
        s += "    {\n";
        if (key.lightType[i] == D3DLIGHT_DIRECTIONAL) {
            s += "        vec3 L = -u_lightDirection" + n + ".xyz;\n"
                 "        float f = 1.0;\n";
        } else {
            s += "        vec3 toLight = u_lightPosition" + n + ".xyz - P;\n"
                 "        float d = length(toLight);\n"
                 "        vec3 L = d > 0.0 ? toLight / d : vec3(0.0);\n"
                 "        vec4 att = u_lightAttenuation" + n + ";\n"
                 "        float f = d > att.w ? 0.0 : 1.0 / max(att.x + att.y * d + att.z * d * d, 1e-30);\n";
            if (key.lightType[i] == D3DLIGHT_SPOT) {
                // The cone: full inside theta, none outside phi, falloff between.
                s += "        vec4 cone = u_lightSpot" + n + ";\n"
                     "        float rho = dot(L, -u_lightDirection" + n + ".xyz);\n"
                     "        f *= rho > cone.x ? 1.0 : rho <= cone.y ? 0.0\n"
                     "             : pow(clamp((rho - cone.y) / (cone.x - cone.y), 0.0, 1.0), cone.z);\n";
            }
        }
        s += "        ambientSum += u_lightAmbient" + n + ".rgb * f;\n"
             "        float NdotL = dot(N, L);\n"
             "        if (NdotL > 0.0) {\n"
             "            diffuseSum += u_lightDiffuse" + n + ".rgb * (NdotL * f);\n"
             "            float NdotH = dot(N, normalize(V + L));\n"
             "            if (NdotH > 0.0)\n"
             "                specularSum += u_lightSpecular" + n + ".rgb * (pow(NdotH, u_materialPower) * f);\n"
             "        }\n"
             "    }\n";
    }
    s += "    v_diffuse = vec4(clamp(Ce.rgb + Ca.rgb * ambientSum + Cd.rgb * diffuseSum, 0.0, 1.0), Cd.a);\n"
         "    v_specular = vec4(clamp(Cs.rgb * specularSum, 0.0, 1.0), Cs.a);\n";
    return s;
}

// The fog factor of a vertex: 1 shows the colour, 0 the fog colour.
std::string vertexFogText(const FfpKey& key)
{
    if (key.pretransformed || key.vertexFog == D3DFOG_NONE)
        return "    v_fog = a_specular.a;\n";  // the caller's own factor
    std::string s = key.rangeFog ? "    float fogDistance = length((u_worldView * vec4(a_position.xyz, 1.0)).xyz);\n"
                                 : "    float fogDistance = (u_worldView * vec4(a_position.xyz, 1.0)).z;\n";
    return s + "    v_fog = fogFactor(fogDistance);\n";
}

// fogFactor(distance) for a Direct3D fog mode; u_fogParameters = start, end, density.
std::string fogFunction(BYTE mode)
{
    std::string s = "float fogFactor(float d)\n{\n";
    switch (mode) {
    case D3DFOG_EXP: s += "    return clamp(exp(-d * u_fogParameters.z), 0.0, 1.0);\n"; break;
    case D3DFOG_EXP2: s += "    return clamp(exp(-(d * u_fogParameters.z) * (d * u_fogParameters.z)), 0.0, 1.0);\n"; break;
    default:
        s += "    float range = u_fogParameters.y - u_fogParameters.x;\n"
             "    return range != 0.0 ? clamp((u_fogParameters.y - d) / range, 0.0, 1.0) : (d < u_fogParameters.y ? 1.0 : 0.0);\n";
        break;
    }
    return s + "}\n";
}

}  // namespace

std::string ffpVertexShader(const FfpKey& key)
{
    const char* interpolation = key.flatShading ? "flat " : "";
    std::string s = "#version 330 core\n";
    s += "layout(location = 0) in vec4 a_position;\n"
         "layout(location = 1) in vec3 a_normal;\n"
         "layout(location = 2) in vec4 a_diffuse;\n"
         "layout(location = 3) in vec4 a_specular;\n"
         "layout(location = 4) in float a_pointSize;\n";
    for (int set : usedTexCoords(key))
        s += "layout(location = " + std::to_string(5 + set) + ") in vec4 a_texCoord" + std::to_string(set) + ";\n";
    s += "uniform mat4 u_worldViewProjection;\n"
         "uniform mat4 u_worldView;\n"
         "uniform mat3 u_normalMatrix;\n"
         "uniform vec4 u_viewport;\n"
         "uniform vec2 u_pixelOffset;\n"
         "uniform float u_pointSize;\n";
    const int lights = key.lighting ? key.lightCount : 0;
    if (key.lighting) {
        if (lights > 0) {
            const std::string n = "[" + std::to_string(lights) + "]";
            s += "uniform vec4 u_lightPosition" + n + ";\n" + "uniform vec4 u_lightDirection" + n + ";\n" +
                 "uniform vec4 u_lightDiffuse" + n + ";\n" + "uniform vec4 u_lightSpecular" + n + ";\n" +
                 "uniform vec4 u_lightAmbient" + n + ";\n" + "uniform vec4 u_lightAttenuation" + n + ";\n" +
                 "uniform vec4 u_lightSpot" + n + ";\n";
        }
        s += "uniform vec4 u_materialDiffuse;\n"
             "uniform vec4 u_materialAmbient;\n"
             "uniform vec4 u_materialSpecular;\n"
             "uniform vec4 u_materialEmissive;\n"
             "uniform float u_materialPower;\n"
             "uniform vec4 u_ambient;\n";
    }
    if (key.fog == 1) {
        s += "uniform vec3 u_fogParameters;\n";
        s += fogFunction(key.vertexFog);
    }
    s += std::string(interpolation) + "out vec4 v_diffuse;\n";
    s += std::string(interpolation) + "out vec4 v_specular;\n";
    for (int set : usedTexCoords(key))
        s += "out vec4 v_texCoord" + std::to_string(set) + ";\n";
    s += "out float v_fog;\n";
    s += "void main()\n{\n";
    if (key.pretransformed) {
        // Screen-space x, y, depth and 1/w: back to clip space through the viewport.
        s += "    float w = 1.0 / a_position.w;\n"
             "    vec4 clip = vec4(((a_position.x - u_viewport.x) / u_viewport.z * 2.0 - 1.0) * w,\n"
             "                     (1.0 - (a_position.y - u_viewport.y) / u_viewport.w * 2.0) * w,\n"
             "                     a_position.z * w, w);\n";
    } else {
        s += "    vec4 clip = u_worldViewProjection * vec4(a_position.xyz, 1.0);\n";
    }
    if (key.lighting && !key.pretransformed) {
        s += lightingText(key);
    } else {
        s += "    v_diffuse = a_diffuse;\n"
             "    v_specular = a_specular;\n";
    }
    s += key.fog == 1 ? vertexFogText(key) : "    v_fog = 1.0;\n";
    for (int set : usedTexCoords(key))
        s += "    v_texCoord" + std::to_string(set) + " = a_texCoord" + std::to_string(set) + ";\n";
    s += "    gl_PointSize = u_pointSize;\n";
    s += d3dClipEpilogue;
    s += "}\n";
    return s;
}

std::string ffpFragmentShader(const FfpKey& key)
{
    const char* interpolation = key.flatShading ? "flat " : "";
    std::string s = "#version 330 core\n";
    s += std::string(interpolation) + "in vec4 v_diffuse;\n";
    s += std::string(interpolation) + "in vec4 v_specular;\n";
    for (int set : usedTexCoords(key))
        s += "in vec4 v_texCoord" + std::to_string(set) + ";\n";
    for (int i = 0; i < key.stageCount; ++i)
        if (key.stage[i].hasTexture)
            s += "uniform sampler2D u_texture" + stageText(i) + ";\n";
    s += "in float v_fog;\n";
    if (key.fog)
        s += "uniform vec3 u_fogColor;\n";
    if (key.fog == 2) {
        s += "uniform vec3 u_fogParameters;\n";
        s += fogFunction(key.tableFog);
    }
    s += "uniform vec4 u_textureFactor;\n"
         "uniform float u_alphaReference;\n"
         "out vec4 fragColor;\n"
         "void main()\n{\n"
         "    vec4 diffuse = v_diffuse;\n"
         "    vec4 specular = v_specular;\n"
         "    vec4 current = diffuse;\n"
         "    vec4 temp = vec4(0.0);\n";
    for (int i = 0; i < key.stageCount; ++i) {
        const FfpStageKey& stage = key.stage[i];
        const std::string n = stageText(i);
        // A stage without a texture reads opaque black where its texture would be.
        if (stage.hasTexture)
            s += "    vec4 texel" + n + " = texture(u_texture" + n + ", v_texCoord" +
                 std::to_string(stage.texCoordIndex & 7) + ".xy);\n";
        else
            s += "    vec4 texel" + n + " = vec4(0.0, 0.0, 0.0, 1.0);\n";
        const std::string c0 = argument(stage.colorArg[0], i), c1 = argument(stage.colorArg[1], i),
                          c2 = argument(stage.colorArg[2], i);
        const std::string a0 = argument(stage.alphaArg[0], i), a1 = argument(stage.alphaArg[1], i),
                          a2 = argument(stage.alphaArg[2], i);
        s += "    {\n";
        std::string color;
        if (stage.colorOp == D3DTOP_DOTPRODUCT3) {
            s += "        float dot3 = clamp(4.0 * dot(" + c1 + ".rgb - 0.5, " + c2 + ".rgb - 0.5), 0.0, 1.0);\n";
            color = "vec3(dot3)";
        } else {
            color = operation(stage.colorOp, c0, c1, c2, ".rgb", i);
        }
        std::string alpha;
        if (stage.colorOp == D3DTOP_DOTPRODUCT3)
            alpha = "dot3";  // the dot product goes to every channel
        else if (stage.alphaOp == D3DTOP_DISABLE)
            alpha = "current.a";
        else if (stage.alphaOp == D3DTOP_DOTPRODUCT3)
            alpha = "clamp(4.0 * dot(" + a1 + ".rgb - 0.5, " + a2 + ".rgb - 0.5), 0.0, 1.0)";
        else
            alpha = operation(stage.alphaOp, a0, a1, a2, ".a", i);
        s += "        vec3 rgb = " + color + ";\n";
        s += "        float a = " + alpha + ";\n";
        s += std::string("        ") + (stage.resultTemp ? "temp" : "current") +
             " = clamp(vec4(rgb, a), 0.0, 1.0);\n";
        s += "    }\n";
    }
    if (key.specularAdd)
        s += "    current.rgb = clamp(current.rgb + specular.rgb, 0.0, 1.0);\n";
    // Table fog reads the camera-space depth of the pixel: w of a projection with w = z.
    if (key.fog == 1)
        s += "    current.rgb = mix(u_fogColor, current.rgb, v_fog);\n";
    else if (key.fog == 2)
        s += "    current.rgb = mix(u_fogColor, current.rgb, fogFactor(1.0 / gl_FragCoord.w));\n";
    s += alphaTest(key.alphaFunc);
    s += "    fragColor = current;\n}\n";
    return s;
}

std::string withSourceLines(const std::string& log, const std::string& source)
{
    // GLSL compilers name lines as "0:LINE(column)" (Mesa) or "0:LINE:" (most others).
    std::vector<int> lines;
    for (std::size_t at = log.find("0:"); at != std::string::npos; at = log.find("0:", at + 2)) {
        std::size_t end = at + 2;
        while (end < log.size() && std::isdigit(static_cast<unsigned char>(log[end])))
            ++end;
        const bool before = at == 0 || !std::isdigit(static_cast<unsigned char>(log[at - 1]));
        // At most six digits: a log that names no real line cannot overflow the number.
        if (before && end > at + 2 && end <= at + 8 && end < log.size() && (log[end] == '(' || log[end] == ':')) {
            const int line = std::stoi(log.substr(at + 2, end - at - 2));
            if (std::find(lines.begin(), lines.end(), line) == lines.end())
                lines.push_back(line);
        }
    }
    std::string text = log;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0'))
        text.pop_back();
    for (const int line : lines) {
        std::size_t start = 0;
        for (int i = 1; i < line && start != std::string::npos; ++i) {
            start = source.find('\n', start);
            if (start != std::string::npos)
                ++start;
        }
        if (start == std::string::npos || start >= source.size())
            continue;
        const std::size_t stop = source.find('\n', start);
        text += formatText("\n  line %d: %s", line, source.substr(start, stop - start).c_str());
    }
    return text;
}

namespace {

GLuint compile(GLenum type, const std::string& source, std::string& error)
{
    GLuint shader = glCreateShader(type);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        error = std::string(type == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " +
                withSourceLines(log, source);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

}  // namespace

GLuint linkProgram(const std::string& vertex, const std::string& fragment, std::string& error)
{
    const GLuint vs = compile(GL_VERTEX_SHADER, vertex, error);
    if (!vs)
        return 0;
    const GLuint fs = compile(GL_FRAGMENT_SHADER, fragment, error);
    if (!fs) {
        glDeleteShader(vs);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glBindFragDataLocation(program, 0, "fragColor");
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        glGetProgramInfoLog(program, length, nullptr, log.data());
        error = "link: " + log;
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

FfpShaderCache::~FfpShaderCache() = default;

const FfpProgram& FfpShaderCache::program(const FfpKey& key, const std::function<std::string()>& vertexSource,
                                          std::string& error)
{
    auto found = programs_.find(key);
    if (found != programs_.end()) {
        if (!found->second.program)
            error = found->second.failure;
        return found->second;
    }
    FfpProgram p;
    // A vertex shader that turned into no GLSL has said why in `error` already.
    const std::string vertex = key.vertexShader ? vertexSource() : ffpVertexShader(key);
    p.program = vertex.empty() ? 0 : linkProgram(vertex, ffpFragmentShader(key), error);
    if (!p.program) {
        // Kept as a failure, so the reason is told once and every draw with it refuses.
        p.failure = error;
        reportGraphicsFailure("a shader program failed to build; draws that need it are refused:\n" + error);
    } else {
        const auto location = [&](const char* name) { return glGetUniformLocation(p.program, name); };
        p.worldViewProjection = location("u_worldViewProjection");
        p.viewport = location("u_viewport");
        p.pixelOffset = location("u_pixelOffset");
        p.pointSize = location("u_pointSize");
        p.textureFactor = location("u_textureFactor");
        p.alphaReference = location("u_alphaReference");
        p.worldView = location("u_worldView");
        p.normalMatrix = location("u_normalMatrix");
        p.lightPosition = location("u_lightPosition");
        p.lightDirection = location("u_lightDirection");
        p.lightDiffuse = location("u_lightDiffuse");
        p.lightSpecular = location("u_lightSpecular");
        p.lightAmbient = location("u_lightAmbient");
        p.lightAttenuation = location("u_lightAttenuation");
        p.lightSpot = location("u_lightSpot");
        p.materialDiffuse = location("u_materialDiffuse");
        p.materialAmbient = location("u_materialAmbient");
        p.materialSpecular = location("u_materialSpecular");
        p.materialEmissive = location("u_materialEmissive");
        p.materialPower = location("u_materialPower");
        p.ambient = location("u_ambient");
        p.fogColor = location("u_fogColor");
        p.fogParameters = location("u_fogParameters");
        p.constants = location("c");
        glUseProgram(p.program);
        for (int i = 0; i < key.stageCount; ++i)
            glUniform1i(glGetUniformLocation(p.program, ("u_texture" + std::to_string(i)).c_str()), i);
    }
    return programs_.emplace(key, p).first->second;
}

void FfpShaderCache::forgetVertexShader(DWORD handle)
{
    for (auto it = programs_.begin(); it != programs_.end();) {
        if (it->first.vertexShader == handle) {
            if (it->second.program)
                glDeleteProgram(it->second.program);
            it = programs_.erase(it);
        } else {
            ++it;
        }
    }
}

void FfpShaderCache::clear(bool contextLost)
{
    if (!contextLost)
        for (auto& [key, p] : programs_)
            if (p.program)
                glDeleteProgram(p.program);
    programs_.clear();
}

}  // namespace mirva
