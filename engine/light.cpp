#include "engine/light.h"

#include <cfloat>
#include <cmath>

#include "engine/dx_driver.h"

namespace mirva {

D3DLIGHT8 Light::record() const
{
    D3DLIGHT8 light;
    light.Type = kind == DIRECTIONAL ? D3DLIGHT_DIRECTIONAL : kind == SPOT ? D3DLIGHT_SPOT : D3DLIGHT_POINT;
    light.Diffuse = colorValue(diffuse);
    light.Specular = colorValue(specular);
    light.Ambient = colorValue(ambient);
    light.Position = position;
    light.Direction = direction;
    // No range means any distance: the largest range Direct3D accepts.
    light.Range = range != 0.0f ? range : std::sqrt(FLT_MAX);
    light.Falloff = falloff;
    light.Attenuation0 = attenuation0;
    light.Attenuation1 = attenuation1;
    light.Attenuation2 = attenuation2;
    light.Theta = theta;
    light.Phi = phi;
    return light;
}

void Light::set(DWORD slot) const
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    const D3DLIGHT8 light = record();
    if (HRESULT hr = device->SetLight(slot, &light); FAILED(hr))
        DXDriver::directXError("Light: SetLight ", hr);
    if (HRESULT hr = device->LightEnable(slot, TRUE); FAILED(hr))
        DXDriver::directXError("Light: LightEnable ", hr);
}

void Light::disable(DWORD slot)
{
    if (HRESULT hr = dxDriver().drawingDevice()->LightEnable(slot, FALSE); FAILED(hr))
        DXDriver::directXError("Light: LightEnable ", hr);
}

}  // namespace mirva
