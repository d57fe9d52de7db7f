#include "common/core/RegistryScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using corvina::ParseRegistryScript;
using corvina::RegistryOperation;
using corvina::RegistryRoot;
using corvina::RegistryScript;
using Kind = RegistryOperation::Kind;

// An operation written as one line, so that whole plans compare at a glance.
std::string Describe(const RegistryOperation& op) {
    std::string root = op.root == RegistryRoot::ClassesRoot    ? "HKCR"
                       : op.root == RegistryRoot::CurrentUser  ? "HKCU"
                       : op.root == RegistryRoot::LocalMachine ? "HKLM"
                                                               : "HKU";
    switch (op.kind) {
    case Kind::CreateKey:
        return "create " + root + "\\" + op.path;
    case Kind::DeleteTree:
        return "delete " + root + "\\" + op.path;
    case Kind::DeleteValue:
        return "delete value " + root + "\\" + op.path + " [" + op.name + "]";
    case Kind::SetValue:
        if (op.value.type == corvina::RegistryScriptValue::Type::Number) {
            return "set " + root + "\\" + op.path + " [" + op.name + "] = d " +
                   std::to_string(op.value.number);
        }
        return "set " + root + "\\" + op.path + " [" + op.name + "] = s '" + op.value.text + "'";
    }
    return "?";
}

std::vector<std::string> Describe(const std::vector<RegistryOperation>& plan) {
    std::vector<std::string> lines;
    for (const RegistryOperation& op : plan) {
        lines.push_back(Describe(op));
    }
    return lines;
}

RegistryScript Parse(const std::string& text,
                     const corvina::RegistryScriptVariables& variables = {}) {
    RegistryScript script;
    std::string error;
    EXPECT_TRUE(ParseRegistryScript(text, variables, &script, &error)) << error;
    return script;
}

// The server's own script, as shipped in its resources.
const char kServerScript[] = R"(HKCR
{
	Corvina.CorvinaExtention.1 = s 'CorvinaExtention Class'
	{
		CLSID = s '{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}'
	}
	Corvina.CorvinaExtention = s 'CorvinaExtention Class'
	{
		CLSID = s '{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}'
		CurVer = s 'Corvina.CorvinaExtention.1'
	}
	NoRemove CLSID
	{
		ForceRemove {5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13} = s 'CorvinaExtention Class'
		{
			ProgID = s 'Corvina.CorvinaExtention.1'
			VersionIndependentProgID = s 'Corvina.CorvinaExtention'
			ForceRemove Programmable
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
			TypeLib = s '{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}'
		}
	}
	NoRemove Directory
	{
		NoRemove Background
		{
			NoRemove shellex
			{
				NoRemove ContextMenuHandlers
				{
					ForceRemove CorvinaExtention = s '{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}'
				}
			}
		}
	}
}
)";

TEST(RegistryScript, ServerScriptRegistersEveryKeyInOrder) {
    const RegistryScript script =
        Parse(kServerScript, {{"MODULE", "C:\\Bob's Tools\\Corvina.dll"}});
    const std::string cls = "HKCR\\CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
    const std::string id = "'{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}'";
    const std::string handlers = "HKCR\\Directory\\Background\\shellex\\ContextMenuHandlers";
    const std::vector<std::string> expected = {
        "create HKCR\\Corvina.CorvinaExtention.1",
        "set HKCR\\Corvina.CorvinaExtention.1 [] = s 'CorvinaExtention Class'",
        "create HKCR\\Corvina.CorvinaExtention.1\\CLSID",
        "set HKCR\\Corvina.CorvinaExtention.1\\CLSID [] = s " + id,
        "create HKCR\\Corvina.CorvinaExtention",
        "set HKCR\\Corvina.CorvinaExtention [] = s 'CorvinaExtention Class'",
        "create HKCR\\Corvina.CorvinaExtention\\CLSID",
        "set HKCR\\Corvina.CorvinaExtention\\CLSID [] = s " + id,
        "create HKCR\\Corvina.CorvinaExtention\\CurVer",
        "set HKCR\\Corvina.CorvinaExtention\\CurVer [] = s 'Corvina.CorvinaExtention.1'",
        "create HKCR\\CLSID",
        "delete " + cls,
        "create " + cls,
        "set " + cls + " [] = s 'CorvinaExtention Class'",
        "create " + cls + "\\ProgID",
        "set " + cls + "\\ProgID [] = s 'Corvina.CorvinaExtention.1'",
        "create " + cls + "\\VersionIndependentProgID",
        "set " + cls + "\\VersionIndependentProgID [] = s 'Corvina.CorvinaExtention'",
        "delete " + cls + "\\Programmable",
        "create " + cls + "\\Programmable",
        "create " + cls + "\\InprocServer32",
        // The replacement holds a quote and blanks: it is taken as it is.
        "set " + cls + "\\InprocServer32 [] = s 'C:\\Bob's Tools\\Corvina.dll'",
        "set " + cls + "\\InprocServer32 [ThreadingModel] = s 'Apartment'",
        "create " + cls + "\\TypeLib",
        "set " + cls + "\\TypeLib [] = s '{0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}'",
        "create HKCR\\Directory",
        "create HKCR\\Directory\\Background",
        "create HKCR\\Directory\\Background\\shellex",
        "create " + handlers,
        "delete " + handlers + "\\CorvinaExtention",
        "create " + handlers + "\\CorvinaExtention",
        "set " + handlers + "\\CorvinaExtention [] = s " + id,
    };
    EXPECT_EQ(Describe(corvina::PlanRegistration(script)), expected);
}

TEST(RegistryScript, ServerScriptUnregistersOnlyItsOwnKeys) {
    const RegistryScript script = Parse(kServerScript, {{"MODULE", "C:\\Corvina.dll"}});
    const std::vector<std::string> expected = {
        "delete HKCR\\Corvina.CorvinaExtention.1",
        "delete HKCR\\Corvina.CorvinaExtention",
        "delete HKCR\\CLSID\\{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}",
        "delete HKCR\\Directory\\Background\\shellex\\ContextMenuHandlers\\CorvinaExtention",
    };
    EXPECT_EQ(Describe(corvina::PlanUnregistration(script)), expected);
}

TEST(RegistryScript, MarksValuesAndRoots) {
    const RegistryScript script = Parse(R"(
        HKEY_CURRENT_USER { NoRemove Software { NoRemove Velmora {
            val Count = d 0x10
            val Plain = d '42'
            Delete Old
            'Quoted {Name}' = s 'it''s'
        } } }
        hklm { Single }
    )");
    EXPECT_EQ(Describe(corvina::PlanRegistration(script)),
              (std::vector<std::string>{
                  "create HKCU\\Software",
                  "create HKCU\\Software\\Velmora",
                  "set HKCU\\Software\\Velmora [Count] = d 16",
                  "set HKCU\\Software\\Velmora [Plain] = d 42",
                  "delete HKCU\\Software\\Velmora\\Old",
                  "create HKCU\\Software\\Velmora\\Quoted {Name}",
                  "set HKCU\\Software\\Velmora\\Quoted {Name} [] = s 'it's'",
                  "create HKLM\\Single",
              }));
    EXPECT_EQ(Describe(corvina::PlanUnregistration(script)),
              (std::vector<std::string>{
                  "delete value HKCU\\Software\\Velmora [Count]",
                  "delete value HKCU\\Software\\Velmora [Plain]",
                  "delete HKCU\\Software\\Velmora\\Quoted {Name}",
                  "delete HKLM\\Single",
              }));
}

TEST(RegistryScript, VariablesAreReplacedInNamesAndValues) {
    const RegistryScript script = Parse("HKCR { %NAME% = s '100%% %name%' }", {{"NAME", "Key"}});
    EXPECT_EQ(Describe(corvina::PlanRegistration(script)),
              (std::vector<std::string>{"create HKCR\\Key", "set HKCR\\Key [] = s '100% Key'"}));
}

TEST(RegistryScript, MalformedScriptsAreRejected) {
    const char* const bad[] = {
        "HKCR",                         // no body
        "HKCR {",                       // unclosed
        "HKCR { Key = s 'open }",       // unterminated text
        "HKXX { Key }",                 // unknown root
        "'HKCR' { Key }",               // a quoted root is a name
        "HKCR { val Name = s 'x' }",    // a value outside any key
        "HKCR { Key = q 'x' }",         // unknown type
        "HKCR { Key = d 'twelve' }",    // not a number
        "HKCR { Key = d 0x100000000 }", // above 32 bits
        "HKCR { Key = s }",             // value missing
        "HKCR { Key = }",               //
        "HKCR { Key { val = s 'x' } }", // value name missing
        "HKCR { 'a\\b' }",              // a backslash would reach another key
        "HKCR { '' }",                  // empty name
        "HKCR { Key = s '%UNKNOWN%' }", // unknown variable
        "HKCR { Key = s '%MODULE' }",   // unterminated variable
        "HKCR { Key } }",               // stray brace
        "HKCR { = }",                   //
    };
    for (const char* text : bad) {
        RegistryScript script;
        std::string error;
        EXPECT_FALSE(ParseRegistryScript(text, {{"MODULE", "m"}}, &script, &error)) << text;
        EXPECT_TRUE(script.empty()) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(RegistryScript, NestingIsLimited) {
    std::string deep = "HKCR {";
    for (int i = 0; i < 40; ++i) {
        deep += " K {";
    }
    for (int i = 0; i < 40; ++i) {
        deep += " }";
    }
    deep += " }";
    RegistryScript script;
    EXPECT_FALSE(ParseRegistryScript(deep, {}, &script, nullptr));

    std::string fine = "HKCR {";
    for (int i = 0; i < 20; ++i) {
        fine += " K {";
    }
    for (int i = 0; i < 20; ++i) {
        fine += " }";
    }
    fine += " }";
    EXPECT_TRUE(ParseRegistryScript(fine, {}, &script, nullptr));
    EXPECT_EQ(corvina::PlanRegistration(script).size(), 20u);
}

} // namespace
