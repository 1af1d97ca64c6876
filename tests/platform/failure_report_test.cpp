// Why the graphics layer refused, on the console: a shader's compiler log with the source
// line it names, and the reason a draw call was turned down.
#include <epoxy/gl.h>

#include <gtest/gtest.h>

#include "platform/d3d8/ffp_shader.h"
#include "tests/platform/device_fixture.h"
#include "tests/support/console_output.h"

namespace mirva::test {
namespace {

using FailureReport = DeviceTest;

TEST_F(FailureReport, AShaderThatDoesNotCompileNamesItsLine)
{
    device_->BeginScene();  // the device's context is current from here on
    const std::string vertex = "#version 330 core\n"
                               "void main() {\n"
                               "    gl_Position = vec4(undeclared, 1.0);\n"
                               "}\n";
    const std::string fragment = "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = vec4(1.0); }\n";
    std::string error;
    EXPECT_EQ(linkProgram(vertex, fragment, error), 0u);
    EXPECT_EQ(error.rfind("vertex shader: ", 0), 0u) << error;
    EXPECT_NE(error.find("undeclared"), std::string::npos) << error;
    EXPECT_NE(error.find("\n  line 3:     gl_Position = vec4(undeclared, 1.0);"), std::string::npos) << error;
    device_->EndScene();
}

TEST(FailureReportText, LogLinesNamedEitherWayGetTheirSource)
{
    const std::string source = "one\ntwo\nthree\n";
    EXPECT_EQ(withSourceLines("0:2(5): error: x\nERROR: 0:3: y\n10:1(1): z", source),
              "0:2(5): error: x\nERROR: 0:3: y\n10:1(1): z\n  line 2: two\n  line 3: three");
    EXPECT_EQ(withSourceLines("0:9(1): past the end", source), "0:9(1): past the end");
}

TEST_F(FailureReport, ADrawThatIsRefusedSaysWhy)
{
    HRESULT outside = D3D_OK, noBuffer = D3D_OK;
    const std::string said = consoleOutput([&] {
        outside = device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);
        device_->BeginScene();
        noBuffer = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 3, 0, 1);
        device_->EndScene();
    });
    EXPECT_EQ(outside, D3DERR_INVALIDCALL);
    EXPECT_EQ(noBuffer, D3DERR_INVALIDCALL);
    EXPECT_EQ(said, "graphics: DrawPrimitive: outside BeginScene and EndScene\n"
                    "graphics: DrawIndexedPrimitive: no vertex buffer set (SetStreamSource)\n");
}

}  // namespace
}  // namespace mirva::test
