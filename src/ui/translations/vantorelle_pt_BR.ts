<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>Notice</name>
    <message>
        <source>Input switched</source>
        <extracomment>Notice title: the default microphone (input device) changed.</extracomment>
        <translation>Entrada alterada</translation>
    </message>
    <message>
        <source>Output switched</source>
        <translation>Saída alterada</translation>
    </message>
    <message>
        <source>%1 connected — now active</source>
        <extracomment>%1 is the name of the device just plugged in, which is now the default.</extracomment>
        <translation>%1 conectado — agora ativo</translation>
    </message>
    <message>
        <source>%1 disconnected — %2 is now active</source>
        <extracomment>%1 is the device that went away, %2 the device that is now the default.</extracomment>
        <translation>%1 desconectado — %2 agora está ativo</translation>
    </message>
    <message>
        <source>Lid closed — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Tampa fechada — %1 agora está ativo</translation>
    </message>
    <message>
        <source>Lid open — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Tampa aberta — %1 agora está ativo</translation>
    </message>
    <message>
        <source>%1 is now active</source>
        <extracomment>%1 is the device that is now the default.</extracomment>
        <translation>%1 agora está ativo</translation>
    </message>
    <message>
        <source>Device connected</source>
        <extracomment>Notice title; the body is the device&apos;s name.</extracomment>
        <translation>Dispositivo conectado</translation>
    </message>
    <message>
        <source>Device removed</source>
        <translation>Dispositivo removido</translation>
    </message>
    <message>
        <source>Call audio</source>
        <extracomment>Notice title: a call&apos;s sound goes to a device of its own.</extracomment>
        <translation>Áudio da chamada</translation>
    </message>
    <message>
        <source>%1 is used for this call</source>
        <extracomment>%1 is the device the call uses.</extracomment>
        <translation>%1 é usado nesta chamada</translation>
    </message>
</context>
<context>
    <name>vantorelle::ActivePill</name>
    <message>
        <source>Active</source>
        <extracomment>Status of the device in use now (a badge on its card).</extracomment>
        <translation>Ativo</translation>
    </message>
</context>
<context>
    <name>vantorelle::ArrowButton</name>
    <message>
        <source>Move up</source>
        <extracomment>Moves the device one rank up in the priority list (button and menu item).</extracomment>
        <translation>Mover para cima</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Mover para baixo</translation>
    </message>
    <message>
        <source>Unavailable: already at the top</source>
        <translation>Indisponível: já está no topo</translation>
    </message>
    <message>
        <source>Unavailable: already at the bottom</source>
        <translation>Indisponível: já está no fim</translation>
    </message>
</context>
<context>
    <name>vantorelle::BluezConnector</name>
    <message>
        <source>the headset is off or out of range</source>
        <translation>o headset está desligado ou fora de alcance</translation>
    </message>
    <message>
        <source>the headset offers no sound connection</source>
        <translation>o headset não oferece conexão de áudio</translation>
    </message>
    <message>
        <source>Bluetooth no longer knows this headset</source>
        <translation>o Bluetooth não conhece mais este headset</translation>
    </message>
    <message>
        <source>Bluetooth is not running</source>
        <translation>o Bluetooth não está em execução</translation>
    </message>
    <message>
        <source>Bluetooth is not ready yet</source>
        <translation>o Bluetooth ainda não está pronto</translation>
    </message>
    <message>
        <source>the headset is already being connected</source>
        <translation>o headset já está sendo conectado</translation>
    </message>
    <message>
        <source>the headset refused the connection</source>
        <translation>o headset recusou a conexão</translation>
    </message>
    <message>
        <source>Could not connect: %1</source>
        <extracomment>Under a Bluetooth device&apos;s name; %1 is the reason, which starts in lower case.</extracomment>
        <translation>Não foi possível conectar: %1</translation>
    </message>
</context>
<context>
    <name>vantorelle::CallsApplicationsCard</name>
    <message>
        <source>Applications appear here once they record sound.</source>
        <translation>Os aplicativos aparecem aqui assim que gravam som.</translation>
    </message>
    <message>
        <source>Its sound is treated as a call while it records and plays</source>
        <translation>O som dele é tratado como chamada enquanto grava e reproduz</translation>
    </message>
</context>
<context>
    <name>vantorelle::DeviceCard</name>
    <message>
        <source>Never chosen automatically</source>
        <translation>Nunca escolhido automaticamente</translation>
    </message>
    <message>
        <source>Sits out when the lid is closed</source>
        <translation>Fica de fora com a tampa fechada</translation>
    </message>
    <message>
        <source>Keeps its seat for when it returns</source>
        <extracomment>Of a device that is not connected: it keeps its rank until it comes back.</extracomment>
        <translation>Guarda o lugar para quando voltar</translation>
    </message>
    <message>
        <source>Takes over if the active device disconnects</source>
        <translation>Assume se o dispositivo ativo se desconectar</translation>
    </message>
    <message>
        <source>The understudy</source>
        <extracomment>A connected device that waits behind others, ready to step in (theatre sense).</extracomment>
        <translation>O substituto</translation>
    </message>
    <message>
        <source>Unavailable — lid closed</source>
        <translation>Indisponível — tampa fechada</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Não conectado</translation>
    </message>
    <message>
        <source>Next in line</source>
        <extracomment>Status: the device that takes over when the active one goes.</extracomment>
        <translation>Próximo da fila</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponível</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Renomear…</translation>
    </message>
    <message>
        <source>Never switch to this device</source>
        <translation>Nunca mudar para este dispositivo</translation>
    </message>
    <message>
        <source>Allow switching to this device</source>
        <translation>Permitir mudar para este dispositivo</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Remover da lista</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>Menu item: connect a paired Bluetooth device.</extracomment>
        <translation>Conectar</translation>
    </message>
    <message>
        <source>, lid closed</source>
        <translation>, tampa fechada</translation>
    </message>
    <message>
        <source>Rank %1 of %2, %3</source>
        <extracomment>Read by screen readers: &quot;Rank 1 of 5, active&quot;; %3 is the card&apos;s status, lowercased.</extracomment>
        <translation>Posição %1 de %2, %3</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Conectando…</translation>
    </message>
</context>
<context>
    <name>vantorelle::DevicePaneView</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivos de entrada</translation>
    </message>
    <message>
        <source>The highest-ranked microphone that is connected becomes active. Reorder with the arrows.</source>
        <translation>O microfone conectado mais bem posicionado fica ativo. Reordene com as setas.</translation>
    </message>
    <message>
        <source>No input devices yet.</source>
        <translation>Ainda não há dispositivos de entrada.</translation>
    </message>
    <message>
        <source>Auto-switch input</source>
        <translation>Alternar a entrada automaticamente</translation>
    </message>
    <message>
        <source>If the laptop&apos;s lid is closed, the built-in microphone becomes unavailable and the next device in the stack becomes active.</source>
        <translation>Se a tampa do notebook estiver fechada, o microfone embutido fica indisponível e o próximo dispositivo da pilha fica ativo.</translation>
    </message>
    <message>
        <source>Calls use the first available microphone below; everything else records from the default</source>
        <translation>As chamadas usam o primeiro microfone disponível abaixo; todo o resto grava do padrão</translation>
    </message>
    <message>
        <source>No input devices for calls yet.</source>
        <translation>Ainda não há dispositivos de entrada para chamadas.</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivos de saída</translation>
    </message>
    <message>
        <source>Sound plays through the highest-ranked device that is connected. Reorder with the arrows.</source>
        <translation>O som sai pelo dispositivo conectado mais bem posicionado. Reordene com as setas.</translation>
    </message>
    <message>
        <source>No output devices yet.</source>
        <translation>Ainda não há dispositivos de saída.</translation>
    </message>
    <message>
        <source>Auto-switch output</source>
        <translation>Alternar a saída automaticamente</translation>
    </message>
    <message>
        <source>When the active device disconnects, sound falls back to the next connected seat instantly — no clicks in the system&apos;s sound settings.</source>
        <extracomment>&quot;Seat&quot;: a place in the ranked list of devices.</extracomment>
        <translation>Quando o dispositivo ativo se desconecta, o som passa na hora para o próximo lugar conectado — sem cliques nas configurações de som do sistema.</translation>
    </message>
    <message>
        <source>Calls play through the first available device below; all other sound stays on the default</source>
        <translation>As chamadas tocam no primeiro dispositivo disponível abaixo; todo o resto do som fica no padrão</translation>
    </message>
    <message>
        <source>No output devices for calls yet.</source>
        <translation>Ainda não há dispositivos de saída para chamadas.</translation>
    </message>
    <message>
        <source>Keeps the highest-ranked usable device active</source>
        <translation>Mantém ativo o dispositivo utilizável mais bem posicionado</translation>
    </message>
    <message>
        <source>Use a different device for calls</source>
        <translation>Usar outro dispositivo para chamadas</translation>
    </message>
    <message>
        <source>Priority list</source>
        <translation>Lista de prioridade</translation>
    </message>
    <message>
        <source>For calls</source>
        <translation>Para chamadas</translation>
    </message>
    <message>
        <source>Priority list for calls</source>
        <translation>Lista de prioridade para chamadas</translation>
    </message>
</context>
<context>
    <name>vantorelle::MeterBar</name>
    <message>
        <source>Input level</source>
        <translation>Nível de entrada</translation>
    </message>
</context>
<context>
    <name>vantorelle::NotificationPreview</name>
    <message>
        <source>Notification preview</source>
        <translation>Prévia da notificação</translation>
    </message>
</context>
<context>
    <name>vantorelle::Pane</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivos de entrada</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivos de saída</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
</context>
<context>
    <name>vantorelle::PortalShortcuts</name>
    <message>
        <source>Next output</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next output device the default.</extracomment>
        <translation>Próxima saída</translation>
    </message>
    <message>
        <source>Next input</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next input device the default.</extracomment>
        <translation>Próxima entrada</translation>
    </message>
</context>
<context>
    <name>vantorelle::SettingsPaneView</name>
    <message>
        <source>Could not change the login item. Install Vantorelle and start the installed copy for this.</source>
        <translation>Não foi possível alterar a inicialização automática. Instale o Vantorelle e abra a cópia instalada para isso.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message>
        <source>Notifications and how Vantorelle runs.</source>
        <translation>Notificações e como o Vantorelle funciona.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notificações</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Geral</translation>
    </message>
    <message>
        <source>Calls applications</source>
        <translation>Aplicativos de chamada</translation>
    </message>
    <message>
        <source>Input device switched</source>
        <translation>Dispositivo de entrada alterado</translation>
    </message>
    <message>
        <source>Output device switched</source>
        <translation>Dispositivo de saída alterado</translation>
    </message>
    <message>
        <source>When a higher-ranked microphone takes over or the current one disconnects</source>
        <translation>Quando um microfone mais bem posicionado assume ou o atual se desconecta</translation>
    </message>
    <message>
        <source>When sound starts playing through a different device</source>
        <translation>Quando o som começa a sair por outro dispositivo</translation>
    </message>
    <message>
        <source>Device connected or removed</source>
        <translation>Dispositivo conectado ou removido</translation>
    </message>
    <message>
        <source>When any audio device appears or disappears, even if nothing switches</source>
        <translation>Quando qualquer dispositivo de áudio aparece ou some, mesmo que nada mude</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Tocar som</translation>
    </message>
    <message>
        <source>A soft chime alongside each notification</source>
        <translation>Um toque suave junto com cada notificação</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Iniciar ao entrar</translation>
    </message>
    <message>
        <source>Starts Vantorelle in the background when you sign in</source>
        <translation>Inicia o Vantorelle em segundo plano quando você entra</translation>
    </message>
    <message>
        <source>Could not save the settings. Changes last until Vantorelle quits.</source>
        <translation>Não foi possível salvar as configurações. As alterações valem até o Vantorelle ser fechado.</translation>
    </message>
    <message>
        <source>While a checked application both records from a microphone and plays, all of its sound is treated as a call, even when it does not say so itself.</source>
        <translation>Enquanto um aplicativo marcado grava de um microfone e reproduz som ao mesmo tempo, todo o som dele é tratado como chamada, mesmo que ele não diga isso.</translation>
    </message>
    <message>
        <source>Any application in a call</source>
        <translation>Qualquer aplicativo em chamada</translation>
    </message>
    <message>
        <source>Treat every application that records from a microphone and plays at once as in a call</source>
        <translation>Tratar como em chamada todo aplicativo que grava de um microfone e reproduz ao mesmo tempo</translation>
    </message>
</context>
<context>
    <name>vantorelle::SidebarView</name>
    <message>
        <source>Auto device switching</source>
        <translation>Troca automática de dispositivo</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Painéis</translation>
    </message>
</context>
<context>
    <name>vantorelle::TrayMenu</name>
    <message>
        <source>Output</source>
        <extracomment>Tray menu section heading over the output devices (as in the desktop&apos;s sound settings).</extracomment>
        <translation>Saída</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Entrada</translation>
    </message>
    <message>
        <source>Open Vantorelle</source>
        <translation>Abrir o Vantorelle</translation>
    </message>
    <message>
        <source>Quit Vantorelle</source>
        <translation>Sair do Vantorelle</translation>
    </message>
    <message>
        <source>%1 (never automatic)</source>
        <extracomment>A device in the tray menu that the rule never switches to; it can still be picked here.</extracomment>
        <translation>%1 (nunca automático)</translation>
    </message>
</context>
</TS>
