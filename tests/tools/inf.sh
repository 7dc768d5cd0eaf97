# ovo inf parse, devices, value, section and find on the example driver packages.
OVO=$1; EXAMPLES=$2
. "$(dirname "$0")/lib.bash"
D=$EXAMPLES/drivers
NET=$D/netkvm/netkvm.inf   # UTF-16LE with a byte-order mark, CR LF, decorated models
GFX=$D/Display/Gfx.INF     # Windows-1252, undecorated models, no final line end

dev() { printf '<Device><OS>16777215</OS><HardwareID>%s</HardwareID><Description>%s</Description><Text></Text><Flags>0</Flags></Device>' "$1" "$2"; }
DESC='Contoso VirtIO Ethernet Adapter'
NETDRV="<SoftwareDriver><GUID></GUID><Type>NETCARD</Type><Vendor>Contoso; Virtual Devices</Vendor><Name>$DESC</Name><Version>100.92.104.22900</Version><InstallSource>$NET</InstallSource><ComponentID>*</ComponentID><SupportedOS>0</SupportedOS><Options>0</Options><SupportedDevices>$(dev 'PCI\VEN_1AF4&amp;DEV_1000&amp;SUBSYS_00011AF4&amp;REV_00' "$DESC")$(dev 'PCI\VEN_1AF4&amp;DEV_1041&amp;SUBSYS_11001AF4&amp;REV_01' "$DESC")$(dev 'PCI\VEN_1AF4&amp;DEV_1000&amp;SUBSYS_00011AF4&amp;REV_00' "$DESC")</SupportedDevices></SoftwareDriver>"
GFXDRV="<SoftwareDriver><GUID></GUID><Type>GFXCARD</Type><Vendor>Fabrikam ® Graphics</Vendor><Name>Fabrikam ® Display</Name><Version></Version><InstallSource>$GFX</InstallSource><ComponentID>*</ComponentID><SupportedOS>0</SupportedOS><Options>0</Options><SupportedDevices>$(dev 'PCI\VEN_ABCD&amp;DEV_0001' 'Fabrikam ® Display')</SupportedDevices></SoftwareDriver>"

# The package's catalog (NETKVM.CAT in the INF, NetKvm.cat on disk) says
# 2:6.1,2:10.0; without it the driver names no OS.
NETCAT=${NETDRV/<Version>100.92.104.22900</<Version>100.92.104.22900 (FC30C0)<}
expect "${NETCAT/<SupportedOS>0</<SupportedOS>16527552<}" 0 -- inf parse "$NET"
expect "$NETDRV" 0 -- inf parse --no-catalog "$NET"
expect "$GFXDRV" 0 -- inf parse "$GFX"
expect "PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00	$DESC
PCI\\VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01	$DESC
PCI\\VEN_1AF4&DEV_1000&SUBSYS_00011AF4&REV_00	$DESC" 0 -- inf devices "$NET"
expect "PCI\\VEN_ABCD&DEV_0001	Fabrikam ® Display" 0 -- inf devices --no-catalog "$GFX"

# Keys and sections: quoted ";" kept, comments cut, the last [Strings] wins, "\\" continues a line.
expect 'Contoso; Virtual Devices' 0 -- inf value "$NET" strings CONTOSO
expect "$DESC" 0 -- inf value "$NET" Strings NetKVM.DeviceDesc
expect '03/15/2023,100.92.104.22900' 0 -- inf value "$NET" Version DriverVer
expect 'NoSuchString' 0 -- inf value "$NET" Strings Unknown
expect '\\server\\share\\\Tail              = done' 0 -- inf value "$NET" Strings Path
expect_status 1 -- inf value "$NET" Strings Tail
expect_status 1 -- inf value "$NET" NoSection Key
expect 'HKR, Ndi, Service, 0, "netkvm" \
HKR, Ndi\Interfaces, UpperRange, 0, "ndis5"' 0 -- inf section "$NET" KVMNET6.REG
expect 'NETKVM.SYS,,,2
netkvmco.dll' 0 -- inf section "$NET" kvmnet6.CopyFiles
expect_status 1 -- inf section "$NET" NoSection

# Failures: the code in decimal, then the text.
TMP=$(mktemp -d); trap 'rm -rf "$TMP"' EXIT
printf '[Version]\r\nSignature = "$Windows 95$"\r\n' >"$TMP/old.inf"
printf '[Version]\nSignature=$Windows NT$\n' >"$TMP/nomfg.inf"
printf 'ab' >"$TMP/short.inf"
err() { "$OVO" "$@" 2>&1 >/dev/null; }
check_err() {
  local want=$1; shift
  local got; got=$(err "$@")
  [ "$got" = "$want" ] || { echo "FAIL: ovo $*: stderr [$got], want [$want]"; fails=$((fails + 1)); }
}
check_err '4294967295 Invalid signature [$Windows 95$]. Only Windows NT and later based inf files supported.' inf parse "$TMP/old.inf"
check_err '4294967295 Invalid INF file format' inf devices "$TMP/nomfg.inf"
check_err "4294967295 Error loading INF File [$TMP/short.inf]" inf parse "$TMP/short.inf"
check_err "2 Error loading INF File [$TMP/none.inf]" inf parse "$TMP/none.inf"
check_err "2 Unable to open [$TMP/none.inf]: The system cannot find the file specified." inf value "$TMP/none.inf" a b
expect_status 1 -- inf parse "$TMP/old.inf"
expect_status 1 -- inf section "$TMP/short.inf" Version

# The tree search: files of a folder first, then its sub-folders; exact ids are covered by generic ones.
expect "$GFX" 0 -- inf find --device 'PCI\VEN_ABCD&DEV_0001&SUBSYS_00000001&REV_02' "$D"
expect "$NET" 0 -- inf find --os 0x80000 --device 'PCI\VEN_1AF4&DEV_1041&SUBSYS_11001AF4&REV_01' "$D"
expect_status 1 -- inf find --no-recurse --device 'PCI\VEN_ABCD&DEV_0001' "$D"
expect_status 1 -- inf find --os 0x1000000 --device 'PCI\VEN_ABCD&DEV_0001' "$D"
expect_status 1 -- inf find --device 'PCI\VEN_1AF4&DEV_1000' "$D"
expect_status 2 -- inf find "$D"
expect_status 2 -- inf

# The parsed driver round-trips through `ovo object`.
STDIN=$NETDRV expect "$NETDRV" 0 -- object OVOSoftwareDriver
finish
